// Preloaded into the tool: the boot-time clock is refused, as old kernels and
// some emulation layers refuse it. The first refusal leaves the file named by
// HOLLOWBROOK_REFUSED, so that the test knows the tool asked for it.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

namespace {

void NoteRefusal() {
    const char* marker = getenv("HOLLOWBROOK_REFUSED");
    if (marker != nullptr) {
        close(open(marker, O_WRONLY | O_CREAT, 0644));
    }
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, struct timespec* now) {
    if (clock == CLOCK_BOOTTIME) {
        NoteRefusal();
        errno = EINVAL;
        return -1;
    }
    using Real = int (*)(clockid_t, struct timespec*);
    return reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"))(clock, now);
}

extern "C" int clock_nanosleep(clockid_t clock, int flags, const struct timespec* until,
                               struct timespec* left) {
    if (clock == CLOCK_BOOTTIME) {
        NoteRefusal();
        return EINVAL;
    }
    using Real = int (*)(clockid_t, int, const struct timespec*, struct timespec*);
    return reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_nanosleep"))(clock, flags, until, left);
}
