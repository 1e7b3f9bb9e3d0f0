#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform.h"

namespace {

// Standard output is written directly, not through stdio: a waiting process
// then carries neither stdio's buffers nor its formatting code.
bool consoleIsTerminal = false;
char pending[4096];
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
// clock does not. Elsewhere CLOCK_BOOTTIME may be a mere alias (FreeBSD), and
// the monotonic clock is what there is (on macOS it counts a suspend too).
#if defined(__linux__)
constexpr clockid_t kWaitClock = CLOCK_BOOTTIME;
#else
constexpr clockid_t kWaitClock = CLOCK_MONOTONIC;
#endif

// 64 KiB for the guard: it prints a few texts and nothing more.
constexpr std::size_t kThreadStackBytes = 65536;

void (*threadRoutine)() = nullptr;

void* RunThreadRoutine(void* /*unused*/) {
    threadRoutine();
    return nullptr;
}

}  // namespace

ClockSeconds ReadClock() {
    timespec now{};
    clock_gettime(kWaitClock, &now);
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

FileState ProbeFile(const char* fileName) {
    // lstat, like the Windows attribute query, does not follow a final link:
    // a dangling symbolic link is an object whose attributes can be read.
    struct stat attributes {};
    if (lstat(fileName, &attributes) == 0) {
        return FileState::exists;
    }
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) {
        return FileState::absent;
    }
    return FileState::unknown;
}

void PrepareConsole() {
    // Nothing to do if it fails: a write to a vanished reader then ends the tool.
    static_cast<void>(signal(SIGPIPE, SIG_IGN));
    consoleIsTerminal = isatty(STDOUT_FILENO) != 0;
}

void ConsoleWrite(const char* text, std::size_t length) {
    if (consoleIsTerminal) {
        WriteAll(text, length);
        return;
    }
    if (pendingLength + length > sizeof pending) {
        ConsoleFlush();
    }
    if (length > sizeof pending) {
        WriteAll(text, length);
        return;
    }
    std::memcpy(pending + pendingLength, text, length);
    pendingLength += length;
}

void ConsoleFlush() {
    WriteAll(pending, pendingLength);
    pendingLength = 0;
}

bool StartThread(void (*routine)()) {
    threadRoutine = routine;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    static_cast<void>(pthread_attr_setstacksize(&attributes, kThreadStackBytes));
    static_cast<void>(pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED));
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, RunThreadRoutine, nullptr) == 0;
    static_cast<void>(pthread_attr_destroy(&attributes));
    return started;
}

void SleepUntil(ClockSeconds deadline) {
#if defined(__APPLE__)
    // No absolute sleep here: sleep the difference until the clock is there.
    for (ClockSeconds now = ReadClock(); now < deadline; now = ReadClock()) {
        timespec remaining{};
        remaining.tv_sec = static_cast<time_t>(deadline - now);
        static_cast<void>(nanosleep(&remaining, nullptr));
    }
#else
    timespec until{};
    until.tv_sec = static_cast<time_t>(deadline);
    while (clock_nanosleep(kWaitClock, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
#endif
}

void EndProcessNow() {
    _exit(0);
}
