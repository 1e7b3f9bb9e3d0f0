// Every line of a wait, from the name's warning to the outcome, whether the
// loop or the stall guard prints it. It keeps what the current line holds and
// which of the once-only lines are out.
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

// Begins a wait's lines afresh.
void PrintWaitHeader(bool fileShouldExist);

// The four-space indent goes out with the first dot of a line and of each
// later group of 75.
void PrintDot();

// The first unknown answer of a wait, on a line of its own; nothing for the
// later ones, nor for one that comes after the outcome.
void PrintUnknownNote(std::uint32_t systemError);

// At most once a wait: the guard may come to them after the loop did.
void PrintTimeout(bool fileShouldExist);

void PrintConditionMet(bool fileShouldExist);
void PrintStall(std::uint32_t seconds);
