#include <errno.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace {

#if defined(CLOCK_BOOTTIME)
constexpr clockid_t kWaitClock = CLOCK_BOOTTIME;
#else
constexpr clockid_t kWaitClock = CLOCK_MONOTONIC;
#endif

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
    signal(SIGPIPE, SIG_IGN);
    if (isatty(STDOUT_FILENO)) {
        setvbuf(stdout, nullptr, _IONBF, 0);
    } else {
        setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    }
}

void ConsolePrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
}
