#include "wait/wait_loop.h"

#include "platform/platform.h"
#include "wait/clock.h"
#include "wait/file_name.h"
#include "wait/stall_guard.h"
#include "wait/wait_lines.h"

namespace {

// A dot is due once more than this has passed since the last one.
constexpr std::uint32_t kSecondsBeforeNextDot = 5;
constexpr std::uint64_t kLongestPause = 4294967000u;

using Probe = FileState (*)(const char* fileName, std::uint32_t* systemError);

// None for a name that cannot be checked: it is never probed.
Probe ChooseProbe(const RunSettings& settings, NameFault fault) {
    if (fault != NameFault::none) {
        return nullptr;
    }
    return IsPattern(settings.fileName) ? ProbePattern : ProbeFile;
}

// True when the wait ends with this check: the condition holds, or the guard
// took the run over while the probe was under way.
bool CheckEndsWait(const RunSettings& settings, Probe probe) {
    std::uint32_t systemError = 0;
    BeginProbe();
    const FileState state = probe(settings.fileName, &systemError);
    if (EndProbe() == RunOwner::guard) {
        WaitToBeEnded();
        return true;
    }
    if (state == (settings.fileShouldExist ? FileState::exists : FileState::absent)) {
        PrintConditionMet(settings.fileShouldExist);
        return true;
    }
    if (state == FileState::unknown) {
        PrintUnknownNote(systemError);
    }
    return false;
}

bool TimeoutFired(const RunSettings& settings, ClockSeconds waitStartTime) {
    return settings.timeoutMinutes != 0 && MinutesSince(waitStartTime) >= settings.timeoutMinutes;
}

}  // namespace

std::uint32_t PauseLength(std::int32_t sleepSeconds) {
    if (sleepSeconds <= 0) {
        return 0;
    }
    std::uint64_t milliseconds = static_cast<std::uint64_t>(sleepSeconds) * 1000u;
    return static_cast<std::uint32_t>(milliseconds < kLongestPause ? milliseconds : kLongestPause);
}

void PollFileCondition(const RunSettings& settings, ClockSeconds programStartTime) {
    const NameFault fault = FindNameFault(settings);
    const Probe probe = ChooseProbe(settings, fault);
    PrintNameWarning(fault);
    PrintWaitHeader(settings.fileShouldExist);
    ClockSeconds lastDotTime = ReadClock();
    const ClockSeconds waitStartTime = ReadClock();
    const std::uint32_t pause = PauseLength(settings.sleepSeconds);
    StartStallGuard(settings, waitStartTime, programStartTime);
    for (bool lastPass = false; !lastPass;) {
        if (SecondsSince(lastDotTime) > kSecondsBeforeNextDot) {
            PrintDot();
            lastDotTime = ReadClock();
        }
        lastPass = TimeoutFired(settings, waitStartTime);
        if (lastPass) {
            PrintTimeout(settings.fileShouldExist);
        }
        // Whatever a log is owed goes out before the tool blocks.
        FlushOutput();
        PauseMilliseconds(pause);
        if (probe != nullptr && CheckEndsWait(settings, probe)) {
            return;
        }
    }
}
