#include "wait/wait_loop.h"

#include "console/console_print.h"
#include "platform/platform.h"
#include "wait/clock.h"
#include "wait/stall_guard.h"

namespace {

constexpr std::uint32_t kSecondsBetweenDots = 5;
constexpr int kDotsPerGroup = 75;
constexpr std::uint64_t kLongestPause = 4294967000u;

struct DotState {
    ClockSeconds lastDotTime;
    int dotsInGroup;
};

void ShowProgress(DotState& dots) {
    if (SecondsSince(dots.lastDotTime) <= kSecondsBetweenDots) {
        return;
    }
    // The indent goes out with its dot, so a console gets one write per dot.
    ConsolePrint(dots.dotsInGroup == 0 ? "    ." : ".");
    dots.dotsInGroup = (dots.dotsInGroup + 1) % kDotsPerGroup;
    dots.lastDotTime = ReadClock();
}

bool TimeoutFired(const RunSettings& settings, ClockSeconds waitStartTime) {
    return settings.timeoutMinutes != 0 && MinutesSince(waitStartTime) >= settings.timeoutMinutes;
}

bool FileConditionMet(const RunSettings& settings) {
    // A cut name is another path: every pass counts as unknown.
    if (settings.fileNameCut) {
        return false;
    }
    FileState wanted = settings.fileShouldExist ? FileState::exists : FileState::absent;
    return ProbeFile(settings.fileName) == wanted;
}

void PrintConditionMet(bool fileShouldExist) {
    ConsolePrint("\n");
    ConsolePrint(fileShouldExist ? "    File Condition Met: File was found\n"
                                 : "    File Condition Met: File no longer exists\n");
}

}  // namespace

void PrintTimeout(bool fileShouldExist) {
    ConsolePrint("\n");
    ConsolePrint("    WARNING! Timeout condition encountered.\n");
    ConsolePrint(fileShouldExist ? "             File was not found.\n"
                                 : "             File was not deleted.\n");
}

std::uint32_t PauseLength(std::int32_t sleepSeconds) {
    if (sleepSeconds <= 0) {
        return 0;
    }
    std::uint64_t milliseconds = static_cast<std::uint64_t>(sleepSeconds) * 1000u;
    return static_cast<std::uint32_t>(milliseconds < kLongestPause ? milliseconds : kLongestPause);
}

void PollFileCondition(const RunSettings& settings, ClockSeconds programStartTime) {
    ConsolePrint(settings.fileShouldExist ? "[ Waiting for File to Appear ]\n"
                                          : "[ Waiting for File to be Deleted ]\n");
    DotState dots{ReadClock(), 0};
    const ClockSeconds waitStartTime = ReadClock();
    const std::uint32_t pause = PauseLength(settings.sleepSeconds);
    StartStallGuard(settings, waitStartTime, programStartTime);
    bool running = true;
    for (;;) {
        ShowProgress(dots);
        if (TimeoutFired(settings, waitStartTime)) {
            PrintTimeout(settings.fileShouldExist);
            running = false;
        }
        // Whatever a log is owed goes out before the tool blocks.
        ConsoleFlush();
        PauseMilliseconds(pause);
        BeginProbe(!running);
        const bool conditionMet = FileConditionMet(settings);
        if (!EndProbe()) {
            WaitToBeEnded();
            return;
        }
        if (conditionMet) {
            PrintConditionMet(settings.fileShouldExist);
            return;
        }
        if (!running) {
            return;
        }
    }
}
