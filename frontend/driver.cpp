#include "frontend/driver.h"

#include "console/console_print.h"
#include "frontend/readers.h"
#include "frontend/screens.h"
#include "platform/platform.h"
#include "wait/elapsed.h"
#include "wait/wait_loop.h"

namespace {

// The program path and the four input parameters.
constexpr int kExpectedArgumentCount = 5;

bool ReadAllParams(const char* const* argv, RunSettings* settings) {
    const int count = kExpectedArgumentCount;
    if (!ReadFileNameParam(count, argv, settings->fileName, kFileNameCapacity,
                           &settings->fileNameCut)) {
        ConsolePrint("    ERROR - File name not found (input parameter = \"\\f\")\n");
        return false;
    }
    if (!ReadSleepSecondsParam(count, argv, &settings->sleepSeconds,
                               &settings->sleepSecondsNotWhole)) {
        ConsolePrint("    ERROR - # seconds to sleep was not found (input parameter = \"\\s\")\n");
        return false;
    }
    if (!ReadTimeoutMinutesParam(count, argv, &settings->timeoutMinutes,
                                 &settings->timeoutMinutesNotWhole)) {
        ConsolePrint("    ERROR - # timeout minutes was not found (input parameter = \"\\t\")\n");
        return false;
    }
    if (!ReadFileShouldExistParam(count, argv, &settings->fileShouldExist,
                                  &settings->flagWordUnclear)) {
        ConsolePrint(
            "    ERROR - \"File should exist\" flag not found (input parameter = \"\\e\")\n");
        return false;
    }
    return true;
}

// Where the system's names are POSIX, the tool is most likely called from a
// POSIX shell, which drops a backslash that is not quoted: \f/tmp/x typed
// there arrives as f/tmp/x. Windows programs get their arguments as typed.
bool NamesArePosix() {
    return SystemNameSyntax() == NameSyntax::posix;
}

bool AnArgumentLostItsBackslash(const char* const* argv) {
    for (int index = 1; index < kExpectedArgumentCount; ++index) {
        if (LostItsMarkerBackslash(argv[index])) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CheckUserInput(int argc, const char* const* argv, RunSettings* settings) {
    if (argc != kExpectedArgumentCount) {
        PrintUsage();
        if (NamesArePosix()) {
            PrintQuotingHint();
        }
        return false;
    }
    PrintWelcome();
    ConsolePrint("[ Checking User Input ]\n");
    if (!ReadAllParams(argv, settings)) {
        if (NamesArePosix() && AnArgumentLostItsBackslash(argv)) {
            PrintBackslashHint();
        }
        return false;
    }
    PrintSettings(*settings);
    return true;
}

int HollowbrookMain(int argc, const char* const* argv) {
    PrepareProcess();
    const ClockSeconds programStartTime = ReadClock();
    RunSettings settings{};
    if (CheckUserInput(argc, argv, &settings)) {
        PollFileCondition(settings, programStartTime);
        PrintElapsedTime(programStartTime);
    }
    ConsoleFlush();
    return 0;
}
