// Every line of a wait, from the name's warning to the outcome, whether the
// loop or the stall guard prints it.
#pragma once

#include <cstdint>

#include "wait/file_name.h"
#include "wait/run_settings.h"

// Nothing for a name that can be checked.
void PrintNameWarning(NameFault fault);

// How the settings echo words the file condition.
const char* FileConditionWords(bool fileShouldExist);

// One line for the pause and one for the timeout whose value was not a
// whole number, with the value it reads as, then one for a flag value that
// was neither T nor F.
// Nothing for values as the caller most likely meant them.
void PrintValueWarnings(const RunSettings& settings);

// What the loop's lines have put out so far in a wait: the guard prints no
// dot and no note.
struct WaitLines {
    int dotsInGroup;
    bool dotsOnLine;
    bool notePrinted;
};

void PrintWaitHeader(bool fileShouldExist);

// The four-space indent goes out with the first dot of a line and of each
// later group of 75.
void PrintDot(WaitLines* lines);

// The first unknown answer of a wait, on a line of its own; nothing for the
// later ones.
void PrintUnknownNote(WaitLines* lines, std::uint32_t systemError);

void PrintTimeout(bool fileShouldExist);

void PrintConditionMet(bool fileShouldExist);
void PrintStall(std::uint32_t seconds);
