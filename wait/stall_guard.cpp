#include "wait/stall_guard.h"

#include <atomic>
#include <cstdint>
#include <limits>

#include "console/console_print.h"
#include "wait/elapsed.h"
#include "wait/wait_lines.h"

namespace {

// A check and a write alike have stalled once under way this long: a slow
// log, or a share that answers late, is no stalled one.
constexpr ClockSeconds kStalledSeconds = 10;
constexpr std::uint32_t kLookMilliseconds = 1000;
// A look this much later than it asked for means that the whole process was
// stopped (Ctrl-Z, SIGSTOP) or the machine suspended: nothing ran meanwhile,
// so nothing stalled, and the count starts again. A busy machine is late by
// milliseconds.
constexpr ClockSeconds kLateSeconds = 5;

// Clock readings are never negative, which leaves room for two states.
constexpr ClockSeconds kNotProbing = -1;
constexpr ClockSeconds kTakenOver = -2;

struct GuardJob {
    ClockSeconds due;
    ClockSeconds programStartTime;
    bool fileShouldExist;
};

// Written before the guard starts, read-only afterwards.
GuardJob job{};
bool guarded = false;

// When the probe under way began, or one of the two states above. Whoever
// moves it away from a clock reading first owns the end of the run.
std::atomic<ClockSeconds> probingSince{kNotProbing};
std::atomic<bool> endPrinted{false};

// What one looking thread has seen. It vouches only for the time since
// countFrom: since its first look, or since its last late one, it looked when
// it asked to. A write seen under way is counted from when it was first seen.
struct Watch {
    bool looked;
    ClockSeconds lookDue;
    ClockSeconds countFrom;
    std::uint32_t writeCount;
    ClockSeconds writeSeen;
};

// The guard's own, kept from one look to the next.
Watch guardWatch{};

// The later of the two: what a thread saw under way counts from when it
// began, or from when the thread could vouch for the time, if that is later.
ClockSeconds CountStart(ClockSeconds began, const Watch& watch) {
    return began > watch.countFrom ? began : watch.countFrom;
}

// Reads the clock for a look; the first look, and a late one, start the count.
ClockSeconds Look(Watch* watch) {
    const ClockSeconds now = ReadClock();
    if (!watch->looked || now - watch->lookDue >= kLateSeconds) {
        watch->countFrom = now;
    }
    watch->looked = true;
    watch->lookDue = now + static_cast<ClockSeconds>(kLookMilliseconds / 1000);
    return now;
}

bool OutputStalled(Watch* watch, ClockSeconds now) {
    const std::uint32_t writeCount = OutputWriteCount();
    if (writeCount % 2 == 0 || writeCount != watch->writeCount) {
        watch->writeCount = writeCount;
        watch->writeSeen = now;
        return false;
    }
    return now - CountStart(watch->writeSeen, *watch) >= kStalledSeconds;
}

// Output that does not move holds the guard's own lines for good: the run
// then ends without another word, since no word would get out.
void EndOnStalledOutput() {
    Watch watch{};
    while (!OutputStalled(&watch, Look(&watch))) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

bool TakeOverStalledRun(ClockSeconds now) {
    ClockSeconds since = probingSince;
    if (since < 0) {
        return false;
    }
    const ClockSeconds stalled = now - CountStart(since, guardWatch);
    if (stalled < kStalledSeconds || !probingSince.compare_exchange_strong(since, kTakenOver)) {
        return false;
    }
    // The guard's lines may go where the loop's did not get: another thread
    // watches them, and the guard goes on without it if none can start.
    static_cast<void>(StartThread(EndOnStalledOutput));
    PrintTimeout(job.fileShouldExist);
    PrintStall(static_cast<std::uint32_t>(stalled));
    PrintElapsedTime(job.programStartTime);
    ConsoleFlush();
    endPrinted = true;
    return true;
}

void Guard() {
    // It starts to look one stall before the due time, so that a check stuck
    // since long before is named when the timeout falls due.
    SleepUntil(job.due - kStalledSeconds);
    while (!GuardLook()) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

}  // namespace

void StartStallGuard(const RunSettings& settings, ClockSeconds waitStartTime,
                     ClockSeconds programStartTime) {
    probingSince = kNotProbing;
    endPrinted = false;
    const std::int64_t due =
        std::int64_t{waitStartTime} + std::int64_t{60} * settings.timeoutMinutes;
    guarded = settings.timeoutMinutes != 0 && due <= std::numeric_limits<ClockSeconds>::max();
    if (guarded) {
        job = GuardJob{static_cast<ClockSeconds>(due), programStartTime, settings.fileShouldExist};
        guardWatch = Watch{};
        guarded = StartThread(Guard);
    }
}

void BeginProbe() {
    if (guarded) {
        probingSince = ReadClock();
    }
}

RunOwner EndProbe() {
    const bool takenOver = guarded && probingSince.exchange(kNotProbing) == kTakenOver;
    return takenOver ? RunOwner::guard : RunOwner::loop;
}

void WaitToBeEnded() {
    while (!endPrinted) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

bool GuardLook() {
    const ClockSeconds now = Look(&guardWatch);
    const bool outputStalled = OutputStalled(&guardWatch, now);
    // It acts only once the timeout is due, however early it began to look.
    return now >= job.due && (outputStalled || TakeOverStalledRun(now));
}
