#include "frontend/driver.h"

#include "console/console_print.h"
#include "frontend/readers.h"
#include "frontend/screens.h"
#include "platform/platform.h"
#include "wait/elapsed.h"
#include "wait/stall_guard.h"
#include "wait/wait_loop.h"

namespace {

// The arguments after the program's own path, which is never read.
constexpr int kParameterCount = 4;

// The error line of the first parameter the readers did not find, in their
// fixed order; nullptr when all four were. The readers print nothing, so
// that a run's guard can start before its first text.
const char* ReadAllParams(const char* const* parameters, RunSettings* settings) {
    const int count = kParameterCount;
    if (!ReadFileNameParam(count, parameters, settings->fileName, kFileNameCapacity,
                           &settings->fileNameCut)) {
        return "    ERROR - File name not found (input parameter = \"\\f\")\n";
    }
    if (!ReadSleepSecondsParam(count, parameters, &settings->sleepSeconds,
                               &settings->sleepSecondsNotWhole)) {
        return "    ERROR - # seconds to sleep was not found (input parameter = \"\\s\")\n";
    }
    if (!ReadTimeoutMinutesParam(count, parameters, &settings->timeoutMinutes,
                                 &settings->timeoutMinutesNotWhole)) {
        return "    ERROR - # timeout minutes was not found (input parameter = \"\\t\")\n";
    }
    if (!ReadFileShouldExistParam(count, parameters, &settings->fileShouldExist,
                                  &settings->flagWordUnclear)) {
        return "    ERROR - \"File should exist\" flag not found (input parameter = \"\\e\")\n";
    }
    return nullptr;
}

// Where the system's names are POSIX, the tool is most likely called from a
// POSIX shell, which drops a backslash that is not quoted: \f/tmp/x typed
// there arrives as f/tmp/x. Windows programs get their arguments as typed.
bool NamesArePosix() {
    return SystemNameSyntax() == NameSyntax::posix;
}

bool AnArgumentLostItsBackslash(const char* const* parameters) {
    for (int index = 0; index < kParameterCount; ++index) {
        if (LostItsMarkerBackslash(parameters[index])) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CheckUserInput(int argc, const char* const* argv, ClockSeconds startTime,
                    RunSettings* settings) {
    if (argc != kParameterCount + 1) {
        PrintUsage();
        if (NamesArePosix()) {
            PrintQuotingHint();
        }
        return false;
    }
    const char* missing = ReadAllParams(argv + 1, settings);
    if (missing == nullptr) {
        StartStallGuard(*settings, startTime);
    }
    PrintWelcome();
    ConsolePrint("[ Checking User Input ]\n");
    if (missing != nullptr) {
        ConsolePrint("%s", missing);
        if (NamesArePosix() && AnArgumentLostItsBackslash(argv + 1)) {
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
    if (CheckUserInput(argc, argv, programStartTime, &settings)) {
        PollFileCondition(settings);
        PrintElapsedTime(programStartTime);
    }
    ConsoleFlush();
    return 0;
}
