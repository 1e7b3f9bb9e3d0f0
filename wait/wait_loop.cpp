#include "wait/wait_loop.h"

#include "console/console_print.h"
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

// A scan can miss an entry that is renamed while the folder is read, which
// must not end a deletion wait while a match is there. So "gone" needs a scan
// during which the folder did not change: its time is read, one step of its
// clock waited, the folder scanned and its time read again. A change during
// that scan carries a later step than the first reading, however coarse the
// folder's clock, so "gone" holds only where the scan finds nothing and the
// two times are equal. A time that moved counts as a match still there, and
// the next pass looks again.
constexpr std::uint32_t kFineStepMilliseconds = 20;     // a clock tick; exFAT's 10 ms
constexpr std::uint32_t kWholeStepMilliseconds = 2100;  // whole seconds; FAT's 2 s

std::uint32_t FolderClockStep(FolderTime time) {
    return time.nanoseconds != 0 ? kFineStepMilliseconds : kWholeStepMilliseconds;
}

// Reads the folder's time again: true while it is still `before`. Otherwise
// *state answers for the pass: exists where the time moved, or what the read
// said (a folder gone takes every match with it; unknown stays unknown).
bool FolderStill(const char* pattern, FolderTime before, FileState* state,
                 std::uint32_t* systemError) {
    FolderTime now{};
    *state = ReadFolderTime(pattern, &now, systemError);
    return *state == FileState::exists && now.seconds == before.seconds &&
           now.nanoseconds == before.nanoseconds;
}

FileState ProbePatternGone(const char* pattern, std::uint32_t* systemError) {
    FileState state = ProbePattern(pattern, systemError);
    if (state != FileState::absent) {
        return state;
    }
    FolderTime before{};
    state = ReadFolderTime(pattern, &before, systemError);
    if (state != FileState::exists) {
        return state;
    }
    PauseMilliseconds(FolderClockStep(before));
    if (!FolderStill(pattern, before, &state, systemError)) {
        return state;
    }
    state = ProbePattern(pattern, systemError);
    if (state != FileState::absent) {
        return state;
    }
    return FolderStill(pattern, before, &state, systemError) ? FileState::absent : state;
}

// None for a name that cannot be checked: it is never probed. One name is
// one atomic look; a pattern is a listing, which a deletion wait confirms.
Probe ChooseProbe(const RunSettings& settings, NameFault fault) {
    if (fault != NameFault::none) {
        return nullptr;
    }
    if (!IsPattern(SystemNameSyntax(), settings.fileName)) {
        return ProbeFile;
    }
    return settings.fileShouldExist ? ProbePattern : ProbePatternGone;
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
    PrintValueWarnings(settings);
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
        ConsoleFlush();
        PauseMilliseconds(pause);
        if (probe != nullptr && CheckEndsWait(settings, probe)) {
            return;
        }
    }
}
