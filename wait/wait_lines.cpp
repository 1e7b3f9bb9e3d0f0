#include "wait/wait_lines.h"

#include "console/console_print.h"
#include "wait/run_settings.h"

namespace {

constexpr int kDotsPerGroup = 75;

}  // namespace

void PrintNameWarning(NameFault fault) {
    switch (fault) {
        case NameFault::none:
            break;
        case NameFault::overlong:
            ConsolePrint(
                "    WARNING! File name longer than %d characters; it cannot be checked.\n",
                kLongestFileName);
            break;
        case NameFault::empty:
            ConsolePrint("    WARNING! File name is empty; it cannot be checked.\n");
            break;
        case NameFault::forbiddenCharacter:
            ConsolePrint(
                "    WARNING! File name holds a character Windows does not allow; it cannot be "
                "checked.\n");
            break;
        case NameFault::controlCharacter:
            ConsolePrint(
                "    WARNING! File name holds a control character; it cannot be checked.\n");
            break;
        case NameFault::wildcardInFolder:
            ConsolePrint(
                "    WARNING! File name has a wildcard before its last part; it cannot be "
                "checked.\n");
            break;
    }
}

const char* FileConditionWords(bool fileShouldExist) {
    return fileShouldExist ? "Wait for file to exist" : "Wait for file to be deleted";
}

void PrintValueWarnings(const RunSettings& settings) {
    if (settings.sleepSecondsNotWhole) {
        ConsolePrint("    WARNING! Seconds to sleep is not a whole number; it reads as %d.\n",
                     static_cast<int>(settings.sleepSeconds));
    }
    if (settings.timeoutMinutesNotWhole) {
        // Signed, as the echo shows it: -1 reads as -1.
        ConsolePrint("    WARNING! Timeout minutes is not a whole number; it reads as %d.\n",
                     static_cast<int>(settings.timeoutMinutes));
    }
    if (settings.flagWordUnclear) {
        ConsolePrint("    WARNING! File condition is neither T nor F; it reads as: %s.\n",
                     FileConditionWords(settings.fileShouldExist));
    }
}

void PrintWaitHeader(bool fileShouldExist) {
    ConsolePrint(fileShouldExist ? "[ Waiting for File to Appear ]\n"
                                 : "[ Waiting for File to be Deleted ]\n");
}

void PrintDot(WaitLines* lines) {
    // The indent goes out with its dot, so a console gets one write per dot.
    ConsolePrint(lines->dotsInGroup == 0 ? "    ." : ".");
    lines->dotsInGroup = (lines->dotsInGroup + 1) % kDotsPerGroup;
    lines->dotsOnLine = true;
}

void PrintUnknownNote(WaitLines* lines, std::uint32_t systemError) {
    if (lines->notePrinted) {
        return;
    }
    lines->notePrinted = true;
    if (lines->dotsOnLine) {
        ConsolePrint("\n");
        lines->dotsInGroup = 0;
        lines->dotsOnLine = false;
    }
    ConsolePrint(
        "    NOTE: The system cannot tell whether the file exists (error %u); still "
        "waiting.\n",
        static_cast<unsigned>(systemError));
}

void PrintTimeout(bool fileShouldExist) {
    ConsolePrint("\n");
    ConsolePrint("    WARNING! Timeout condition encountered.\n");
    ConsolePrint(fileShouldExist ? "             File was not found.\n"
                                 : "             File was not deleted.\n");
}

void PrintConditionMet(bool fileShouldExist) {
    ConsolePrint("\n");
    ConsolePrint(fileShouldExist ? "    File Condition Met: File was found\n"
                                 : "    File Condition Met: File no longer exists\n");
}

void PrintStall(std::uint32_t seconds) {
    ConsolePrint("             The file system did not answer for %u seconds.\n", seconds);
}
