// The thin layer between the tool and its operating system: clock, pause,
// existence probe, standard output, and the one extra thread that a timeout needs.
// One implementation file per platform; the unit tests link a simulated one
// in its place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "names/name_rules.h"

// Whole seconds from a monotonic clock, wrapping at 2^32. Only differences
// between two readings mean anything, so a change of the wall clock never
// moves a dot, a timeout or the report, and neither does a reading past any
// range. Linux, macOS and Windows go on counting while the machine is
// suspended; FreeBSD's clock stops meanwhile.
using ClockSeconds = std::uint32_t;

// What a probe of the watched name can tell. Unknown is a failure that says
// nothing about the file (no permission, an I/O error, a vanished share, a
// drive this session lacks): it must never be taken as "absent".
enum class FileState { exists, absent, unknown };

ClockSeconds ReadClock();

// Blocks the thread for the whole pause; 0 only gives up the processor once.
void PauseMilliseconds(std::uint32_t milliseconds);

// Blocks the thread until that much has passed by the system's own count,
// which goes on while the process is stopped or the machine suspended: after
// either, the sleep ends as soon as its time has passed. A pause may count
// neither (Windows from 8 on, Wine), and lasts its whole length after them.
void SleepOnClock(std::uint32_t milliseconds);

// The file system an answer came from (POSIX's device number), so that a
// name that now resolves into another one, as under a share unmounted
// beneath the wait, is told from a file that went away. 0 where the system
// does not say (Windows, whose lost shares answer with errors of their own).
using FileSystemId = std::uint64_t;

// What a scan of a pattern's folder saw besides its answer.
struct FolderScan {
    // The name of the entry that matched, empty where none did or where it
    // does not fit.
    char match[kFileNameCapacity];
    // The folder came whole from one read: that read found no more than the
    // buffer could hold, and the next one found its end.
    bool wholeInOneRead;
    // Where a match was found: its folder's file system.
    FileSystemId fileSystem;
};

// ProbeFile answers for one name, and where it exists, says on which file
// system. ProbePattern answers for a name whose last part holds the
// wildcards * and ?: it exists when an entry of its folder other than . and
// .. matches; the scan stops at the first match. An unknown answer leaves
// the system's error number in *systemError, every other answer 0.
FileState ProbeFile(const char* fileName, FileSystemId* fileSystem, std::uint32_t* systemError);
FileState ProbePattern(const char* pattern, FolderScan* scan, std::uint32_t* systemError);

// The file system a name itself (a folder, say) is on, its links followed.
FileState ReadFileSystemId(const char* name, FileSystemId* fileSystem, std::uint32_t* systemError);

// What the file system of a name's folder is known to do, read once a wait;
// false wherever it cannot be told (other systems than Linux).
struct FolderTraits {
    // One read of a whole folder is a snapshot of it: every change to the
    // folder goes through this kernel and waits for the lock that a read
    // holds (Linux's local file systems). Not so on network and FUSE file
    // systems, whose servers change folders on their own.
    bool readIsSnapshot;
    // The client answers from its cache until the folder's attributes
    // expire, up to a minute (NFS): AskServerForFolder makes it ask.
    bool answersFromCache;
};
FolderTraits ReadFolderTraits(const char* name);

// Has the client ask the server for the attributes of the name's folder,
// after which a cached answer for a name in it that changed is dropped.
void AskServerForFolder(const char* name);

// A folder's last-modified time as its file system stamps it, in steps that
// differ by file system (the wait loop's rule for "gone" says which). Only
// readings of one folder are compared.
struct FolderTime {
    std::int64_t seconds;
    std::uint32_t nanoseconds;
};

// The last-modified time of the pattern's folder; exists when it was read,
// absent when there is no such folder.
FileState ReadFolderTime(const char* pattern, FolderTime* folderTime, std::uint32_t* systemError);

// How this system reads a name.
NameSyntax SystemNameSyntax();

// How many bytes of the name hold its first `longest` characters as the
// system counts them against its limit: UTF-16 units, into which Windows
// turns it from its code page, or characters on POSIX (CutAfterCharacters).
// Whole characters only; the whole name where it has no more.
std::size_t SystemNameCut(const char* name, std::size_t longest);

// Called once, first of all: before the first clock reading, text and probe.
// It chooses the clock where the system has more than one. A reader that goes
// away must not end the wait, output that cannot be written is dropped, never
// fatal, and no system dialog may hold up a probe.
void PrepareProcess();

// The longest text the tool hands over in one write, the usage box's; longer
// texts go in parts.
constexpr std::size_t kLongestText = 2048;
// Redirected output collects this much, all that a run prints before its
// first pause, before it must be written.
constexpr std::size_t kOutputBufferBytes = 4096;

// Text for standard output: a Windows console gets it at once; elsewhere it
// goes through a buffer that FlushOutput empties.
void WriteOutput(const char* text, std::size_t length);
void FlushOutput();

// Starts routine on a thread of its own with a small stack; the thread is
// never joined. False when the system cannot start one.
bool StartThread(void (*routine)());

// Ends the process with status 0 at once: no destructors, no exit handlers,
// no waiting for other threads. Only the simulated platform returns.
void EndProcessNow();
