#include "wait/wait_loop.h"

#include <cerrno>

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

// A scan that reads a folder in several pieces can miss an entry that is
// renamed meanwhile, which must not end a deletion wait while a match is
// there. Where one read of the folder is a snapshot (FolderTraits)
// and the folder came whole from one read, a scan that finds nothing is
// "gone". Elsewhere "gone" needs a scan during which the folder did not
// change: its time is read, one step of its clock waited, its time read
// again, the folder scanned and its time read a third time. A change during
// that scan carries a later step than the first reading, however coarse the
// folder's clock, so "gone" holds only where the scan finds nothing and all
// three times are equal. A time that moved counts as a match still there,
// and the next pass looks again: a folder whose time changes at least once a
// step holds "gone" back for as long as it does.
constexpr std::uint32_t kFineStepMilliseconds = 20;     // a clock tick; exFAT's 10 ms
constexpr std::uint32_t kWholeStepMilliseconds = 2100;  // whole seconds; FAT's 2 s

// The unknown answer's number where a name that a deletion wait saw on one
// file system now resolves into another: "no such device".
constexpr std::uint32_t kOnAnotherFileSystem = ENODEV;

struct Wait;
using Probe = FileState (*)(const char* fileName, Wait* wait, std::uint32_t* systemError);

// What lives for one wait, from its header to its outcome.
struct Wait {
    Probe probe;  // none for a name that cannot be checked
    WaitLines lines;
    // Read once: whether a read of the folder is a snapshot, and whether its
    // client must be asked before each check for an answer that is not a
    // minute old.
    bool folderReadIsSnapshot;
    bool asksServer;
    // A deletion wait of a pattern keeps the last match a scan found as a
    // name of its own: while it is there, one look a pass answers for it.
    char lastMatch[kFileNameCapacity];  // empty when there is none
    // The file system the file, or a pattern's match, was last seen on.
    FileSystemId seenOn;
};

// 0 says nothing about where.
void NoteSeen(Wait* wait, FileSystemId fileSystem) {
    if (fileSystem != 0) {
        wait->seenOn = fileSystem;
    }
}

// Absent only where the name still resolves onto the file system where the
// file was last seen. An appearance wait has seen nothing: its answers stand.
FileState AbsentWhereSeen(const char* name, const Wait& wait, FileState state,
                          std::uint32_t* systemError) {
    if (state == FileState::absent && wait.seenOn != 0 && !ResolvesOnto(name, wait.seenOn)) {
        *systemError = kOnAnotherFileSystem;
        return FileState::unknown;
    }
    return state;
}

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

// A scan that keeps its match for the next pass; *snapshot tells whether an
// absent answer is a snapshot of the folder.
FileState ScanRemembering(const char* pattern, Wait* wait, bool* snapshot,
                          std::uint32_t* systemError) {
    FolderScan scan;  // ProbePattern fills it
    const FileState state = ProbePattern(pattern, &scan, systemError);
    wait->lastMatch[0] = '\0';
    if (state == FileState::exists) {
        static_cast<void>(NameInFolderOf(SystemNameSyntax(), pattern, scan.match, wait->lastMatch,
                                         sizeof wait->lastMatch));
        NoteSeen(wait, scan.fileSystem);
    }
    *snapshot = state == FileState::absent && wait->folderReadIsSnapshot && scan.wholeInOneRead;
    return state;
}

FileState ConfirmPatternGone(const char* pattern, Wait* wait, std::uint32_t* systemError) {
    // An entry that answers is there, and it matches.
    FileSystemId answeredFrom = 0;
    if (wait->lastMatch[0] != '\0' &&
        ProbeFile(wait->lastMatch, &answeredFrom, systemError) == FileState::exists) {
        NoteSeen(wait, answeredFrom);
        return FileState::exists;
    }
    bool snapshot = false;
    FileState state = ScanRemembering(pattern, wait, &snapshot, systemError);
    if (state != FileState::absent || snapshot) {
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
    state = ScanRemembering(pattern, wait, &snapshot, systemError);
    if (state != FileState::absent) {
        return state;
    }
    return FolderStill(pattern, before, &state, systemError) ? FileState::absent : state;
}

FileState ProbePatternGone(const char* pattern, Wait* wait, std::uint32_t* systemError) {
    const FileState state = ConfirmPatternGone(pattern, wait, systemError);
    return AbsentWhereSeen(pattern, *wait, state, systemError);
}

FileState ProbePatternExists(const char* pattern, Wait* /*wait*/, std::uint32_t* systemError) {
    FolderScan scan;
    return ProbePattern(pattern, &scan, systemError);
}

FileState ProbeName(const char* name, Wait* wait, std::uint32_t* systemError) {
    FileSystemId answeredFrom = 0;
    const FileState state = ProbeFile(name, &answeredFrom, systemError);
    NoteSeen(wait, answeredFrom);
    return AbsentWhereSeen(name, *wait, state, systemError);
}

// None for a name that cannot be checked: it is never probed. One name is
// one atomic look; a pattern is a listing, which a deletion wait confirms.
Probe ChooseProbe(const RunSettings& settings, NameFault fault, Wait* wait) {
    if (fault != NameFault::none) {
        return nullptr;
    }
    const FolderTraits traits = ReadFolderTraits(settings.fileName);
    wait->folderReadIsSnapshot = traits.readIsSnapshot;
    wait->asksServer = traits.answersFromCache;
    if (!IsPattern(SystemNameSyntax(), settings.fileName)) {
        return ProbeName;
    }
    return settings.fileShouldExist ? ProbePatternExists : ProbePatternGone;
}

// True when the wait ends with this check: the condition holds, or the guard
// took the run over while the probe was under way.
bool CheckEndsWait(const RunSettings& settings, Wait* wait, bool timeoutPrinted) {
    std::uint32_t systemError = 0;
    const ProbeTicket ticket = BeginProbe(timeoutPrinted);
    if (wait->asksServer) {
        AskServerForFolder(settings.fileName);
    }
    const FileState state = wait->probe(settings.fileName, wait, &systemError);
    if (EndProbe(ticket) == RunOwner::guard) {
        WaitToBeEnded();
        return true;
    }
    if (state == (settings.fileShouldExist ? FileState::exists : FileState::absent)) {
        PrintConditionMet(settings.fileShouldExist);
        return true;
    }
    if (state == FileState::unknown && !timeoutPrinted) {
        PrintUnknownNote(&wait->lines, systemError);
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

void PollFileCondition(const RunSettings& settings) {
    const NameFault fault = FindNameFault(settings);
    Wait wait{};
    wait.probe = ChooseProbe(settings, fault, &wait);
    PrintNameWarning(fault);
    PrintValueWarnings(settings);
    PrintWaitHeader(settings.fileShouldExist);
    ClockSeconds lastDotTime = ReadClock();
    const ClockSeconds waitStartTime = ReadClock();
    const std::uint32_t pause = PauseLength(settings.sleepSeconds);
    for (bool lastPass = false; !lastPass;) {
        if (SecondsSince(lastDotTime) > kSecondsBeforeNextDot) {
            PrintDot(&wait.lines);
            lastDotTime = ReadClock();
        }
        lastPass = TimeoutFired(settings, waitStartTime);
        if (lastPass) {
            PrintTimeout(settings.fileShouldExist);
        }
        // Whatever a log is owed goes out before the tool blocks.
        ConsoleFlush();
        PauseMilliseconds(pause);
        if (wait.probe != nullptr && CheckEndsWait(settings, &wait, lastPass)) {
            return;
        }
    }
}
