#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>  // PTHREAD_STACK_MIN
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "names/system_answers.h"
#include "platform/platform.h"

namespace {

// Standard output is written directly, not through stdio: a waiting process
// then carries neither stdio's buffers nor its formatting code. A terminal
// needs no write of its own: the loop empties the buffer before each pause.
char pending[kOutputBufferBytes];
std::size_t pendingLength = 0;

// Output that cannot be written (a closed descriptor, a reader gone, a full
// device) is dropped: it must never end or change the wait.
void WriteAll(const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, text, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

// Linux's monotonic clock stops while the machine is suspended; its boot-time
// clock does not, where the kernel (or an emulation layer) offers it.
// Elsewhere CLOCK_BOOTTIME may be a mere alias (FreeBSD), and the monotonic
// clock is what there is (on macOS it counts a suspend too).
clockid_t waitClock = CLOCK_MONOTONIC;

void ChooseClock() {
#if defined(__linux__)
    timespec now{};
    waitClock = clock_gettime(CLOCK_BOOTTIME, &now) == 0 ? CLOCK_BOOTTIME : CLOCK_MONOTONIC;
#endif
}

// The guard prints a few texts and nothing more; where the system asks for a
// larger least stack (128 KiB on aarch64), it gets that.
std::size_t GuardStackBytes() {
    constexpr std::size_t kSmallStack = 65536;
    const std::size_t least = static_cast<std::size_t>(PTHREAD_STACK_MIN);
    return least > kSmallStack ? least : kSmallStack;
}

void* RunThreadRoutine(void* routine) {
    reinterpret_cast<void (*)()>(routine)();
    return nullptr;
}

FileSystemId FileSystemOf(const struct stat& attributes) {
    return static_cast<FileSystemId>(attributes.st_dev);
}

// The file system of a folder open for a scan that found a match.
FileSystemId FolderFileSystem(int folder) {
    struct stat attributes {};
    return fstat(folder, &attributes) == 0 ? FileSystemOf(attributes) : 0;
}

FileState AnswerFromError(int error, std::uint32_t* systemError) {
    if (PosixErrorMeansAbsent(error)) {
        return FileState::absent;
    }
    *systemError = static_cast<std::uint32_t>(error);
    return FileState::unknown;
}

// The answer of lstat or stat (result), and where it is "exists", on which
// file system.
FileState AnswerFromStat(int result, const struct stat& attributes, FileSystemId* fileSystem,
                         std::uint32_t* systemError) {
    *fileSystem = result == 0 ? FileSystemOf(attributes) : 0;
    *systemError = 0;
    return result == 0 ? FileState::exists : AnswerFromError(errno, systemError);
}

// Where glibc has getdents64 (2.30 on), the tool reads a folder into a
// buffer of its own: an open, as many reads as the folder needs and a close,
// and no allocation. The buffer is on the stack, not among the globals, so
// that a waiter for a plain name never has a page of it. Elsewhere the C
// library's folder stream does the same with a buffer that it allocates at
// each open.
#if defined(HOLLOWBROOK_HAS_GETDENTS64)

constexpr std::size_t kFolderReadBytes = 32768;

bool AnyEntryMatches(const char* entries, ssize_t length, WildcardPattern pattern,
                     FolderScan* scan) {
    for (ssize_t offset = 0; offset < length;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(entries + offset);
        if (ListedEntryMatches(NameSyntax::posix, entry->d_name, pattern)) {
            CopyEntryName(entry->d_name, scan->match, sizeof scan->match);
            return true;
        }
        offset += entry->d_reclen;
    }
    return false;
}

FileState ScanFolder(const char* folderName, WildcardPattern pattern, FolderScan* scan,
                     std::uint32_t* systemError) {
    const int folder = open(folderName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return AnswerFromError(errno, systemError);
    }
    alignas(struct dirent64) char entries[kFolderReadBytes];
    FileState state = FileState::absent;
    ssize_t length = 0;
    int reads = 0;
    bool roomLeft = false;
    while (state == FileState::absent &&
           (length = getdents64(folder, entries, sizeof entries)) > 0) {
        ++reads;
        // A read that could have taken the longest entry too did not stop
        // for want of room: it reached the folder's end.
        roomLeft = sizeof entries - static_cast<std::size_t>(length) >= sizeof(struct dirent64);
        if (AnyEntryMatches(entries, length, pattern, scan)) {
            state = FileState::exists;
        }
    }
    if (length < 0) {
        state = AnswerFromError(errno, systemError);
    }
    scan->wholeInOneRead = state == FileState::absent && reads == 1 && roomLeft;
    scan->fileSystem = state == FileState::exists ? FolderFileSystem(folder) : 0;
    close(folder);
    return state;
}

#else

// The stream's reads are hidden from the tool: never a whole folder in one.
FileState ScanFolder(const char* folderName, WildcardPattern pattern, FolderScan* scan,
                     std::uint32_t* systemError) {
    DIR* folder = opendir(folderName);
    if (folder == nullptr) {
        return AnswerFromError(errno, systemError);
    }
    FileState state = FileState::absent;
    errno = 0;
    for (const dirent* entry = readdir(folder); entry != nullptr; entry = readdir(folder)) {
        if (ListedEntryMatches(NameSyntax::posix, entry->d_name, pattern)) {
            CopyEntryName(entry->d_name, scan->match, sizeof scan->match);
            state = FileState::exists;
            break;
        }
    }
    if (state == FileState::absent && errno != 0) {
        state = AnswerFromError(errno, systemError);
    }
    scan->fileSystem = state == FileState::exists ? FolderFileSystem(dirfd(folder)) : 0;
    closedir(folder);
    return state;
}

#endif

FolderTime ModificationTime(const struct stat& attributes) {
#if defined(__APPLE__)
    const timespec& time = attributes.st_mtimespec;
#else
    const timespec& time = attributes.st_mtim;
#endif
    return FolderTime{static_cast<std::int64_t>(time.tv_sec),
                      static_cast<std::uint32_t>(time.tv_nsec)};
}

}  // namespace

ClockSeconds ReadClock() {
    timespec now{};
    clock_gettime(waitClock, &now);
    return static_cast<ClockSeconds>(now.tv_sec);
}

void PauseMilliseconds(std::uint32_t milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

// Until a time of the wait's clock; the C library's relative sleep on macOS.
void SleepOnClock(std::uint32_t milliseconds) {
#if defined(__linux__) || defined(__FreeBSD__)
    timespec due{};
    clock_gettime(waitClock, &due);
    due.tv_sec += static_cast<time_t>(milliseconds / 1000);
    due.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (due.tv_nsec >= 1000000000L) {
        due.tv_nsec -= 1000000000L;
        ++due.tv_sec;
    }
    while (clock_nanosleep(waitClock, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
#else
    PauseMilliseconds(milliseconds);
#endif
}

FileState ProbeFile(const char* fileName, FileSystemId* fileSystem, std::uint32_t* systemError) {
    // lstat, like the Windows attribute query, does not follow a final link:
    // a dangling symbolic link is an object whose attributes can be read.
    struct stat attributes {};
    const int result = lstat(fileName, &attributes);
    return AnswerFromStat(result, attributes, fileSystem, systemError);
}

FileState ReadFileSystemId(const char* name, FileSystemId* fileSystem, std::uint32_t* systemError) {
    struct stat attributes {};
    const int result = stat(name, &attributes);
    return AnswerFromStat(result, attributes, fileSystem, systemError);
}

// The tool's names fit kFileNameCapacity, so their folder always fits; a
// longer name from another caller is answered as the system answers a name
// it cannot resolve, rather than overrun the buffer.
FileState ProbePattern(const char* pattern, FolderScan* scan, std::uint32_t* systemError) {
    *systemError = 0;
    *scan = FolderScan{};
    char folder[kFileNameCapacity];
    if (!CopyFolderPart(NameSyntax::posix, pattern, folder, sizeof folder)) {
        return AnswerFromError(ENAMETOOLONG, systemError);
    }
    return ScanFolder(folder, WildcardPattern{LastPart(NameSyntax::posix, pattern)}, scan,
                      systemError);
}

FolderTraits ReadFolderTraits(const char* name) {
#if defined(__linux__)
    char folder[kFileNameCapacity];
    struct statfs information {};
    if (CopyFolderPart(NameSyntax::posix, name, folder, sizeof folder) &&
        statfs(folder, &information) == 0) {
        const auto type = static_cast<std::uint32_t>(information.f_type);
        return FolderTraits{LinuxFolderReadIsSnapshot(type), LinuxFolderAnswersFromCache(type)};
    }
#else
    static_cast<void>(name);
#endif
    return FolderTraits{};
}

// statx with AT_STATX_FORCE_SYNC, where the C library declares it (glibc
// 2.28 on); the answer itself is of no use.
void AskServerForFolder(const char* name) {
#if defined(__linux__) && defined(AT_STATX_FORCE_SYNC)
    char folder[kFileNameCapacity];
    struct statx attributes {};
    if (CopyFolderPart(NameSyntax::posix, name, folder, sizeof folder)) {
        static_cast<void>(
            statx(AT_FDCWD, folder, AT_STATX_FORCE_SYNC, STATX_BASIC_STATS, &attributes));
    }
#else
    static_cast<void>(name);
#endif
}

FileState ReadFolderTime(const char* pattern, FolderTime* folderTime, std::uint32_t* systemError) {
    *systemError = 0;
    *folderTime = FolderTime{};
    char folder[kFileNameCapacity];
    if (!CopyFolderPart(NameSyntax::posix, pattern, folder, sizeof folder)) {
        return AnswerFromError(ENAMETOOLONG, systemError);
    }
    struct stat attributes {};
    if (stat(folder, &attributes) != 0) {
        return AnswerFromError(errno, systemError);
    }
    *folderTime = ModificationTime(attributes);
    return FileState::exists;
}

NameSyntax SystemNameSyntax() {
    return NameSyntax::posix;
}

std::size_t SystemNameCut(const char* name, std::size_t longest) {
    return CutAfterCharacters(name, longest, CharacterCount::characters);
}

void PrepareProcess() {
    ChooseClock();
    // Nothing to do if it fails: a write to a vanished reader then ends the tool.
    static_cast<void>(signal(SIGPIPE, SIG_IGN));
}

void WriteOutput(const char* text, std::size_t length) {
    if (pendingLength + length > sizeof pending) {
        FlushOutput();
    }
    if (length > sizeof pending) {
        WriteAll(text, length);
        return;
    }
    std::memcpy(pending + pendingLength, text, length);
    pendingLength += length;
}

void FlushOutput() {
    WriteAll(pending, pendingLength);
    pendingLength = 0;
}

bool StartThread(void (*routine)()) {
    pthread_attr_t attributes;
    const bool configured = pthread_attr_init(&attributes) == 0;
    if (configured) {
        // A stack size the system refuses leaves its default stack, which is
        // larger: never a reason to run without the guard.
        static_cast<void>(pthread_attr_setstacksize(&attributes, GuardStackBytes()));
    }
    pthread_t thread;
    const bool started = pthread_create(&thread, configured ? &attributes : nullptr,
                                        RunThreadRoutine, reinterpret_cast<void*>(routine)) == 0;
    if (started) {
        static_cast<void>(pthread_detach(thread));
    }
    if (configured) {
        static_cast<void>(pthread_attr_destroy(&attributes));
    }
    return started;
}

void EndProcessNow() {
    _exit(0);
}
