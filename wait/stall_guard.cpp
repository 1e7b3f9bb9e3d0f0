#include "wait/stall_guard.h"

#include <atomic>
#include <cstdint>
#include <limits>

#include "console/console_print.h"
#include "wait/clock.h"
#include "wait/elapsed.h"
#include "wait/wait_lines.h"

namespace {

// A check and a write alike have stalled once under way this long: a slow
// log, or a share that answers late, is no stalled one.
constexpr std::uint32_t kStalledSeconds = 10;
constexpr std::uint32_t kLookMilliseconds = 1000;
// A look this much later than it asked for means that the whole process was
// stopped (Ctrl-Z, SIGSTOP) or the machine suspended: nothing ran meanwhile,
// so nothing stalled, and the count starts again. A busy machine is late by
// milliseconds.
constexpr std::uint32_t kLateSeconds = 5;
// The guard sleeps on the system's clock, in steps after each of which it
// reads the wait's clock: a preload that shifts the clock's readings leaves a
// step's length alone.
constexpr std::uint32_t kLongestSleepSeconds = 60;

struct GuardJob {
    ClockSeconds startTime;
    std::uint32_t dueSeconds;  // after startTime
    bool fileShouldExist;
};

// Written before the guard starts, read-only afterwards.
GuardJob job{};

// Odd while a probe is under way. Whoever moves it on from a probe's count
// first owns the end of the run: the loop as its probe returns, or the guard
// as it takes a stalled probe over.
std::atomic<std::uint32_t> probeCount{0};
// Whether the loop printed the timeout lines before the probe under way:
// written before that probe's count moves, and read only by a guard that
// took that count over.
bool probeAfterTimeout = false;
std::atomic<bool> endPrinted{false};

// Something under way as one looking thread saw it: its count (odd while
// under way, as the write count and the probe count are) and the look from
// which the thread vouches for it.
struct Sighting {
    std::uint32_t count;
    ClockSeconds since;
};

// What one looking thread has seen, kept from one look to the next. A count
// it has not seen before starts a sighting, so its first look needs no mark.
struct Watch {
    ClockSeconds lastLook;
    Sighting write;
    Sighting probe;
};

// The guard's own.
Watch guardWatch{};

// How long the thing under way has been seen not to move; 0 for nothing
// under way, or for one that the last look did not see.
std::uint32_t SecondsStuck(Sighting* sighting, std::uint32_t count, ClockSeconds now) {
    if (count % 2 == 0 || count != sighting->count) {
        *sighting = Sighting{count, now};
        return 0;
    }
    return SecondsBetween(sighting->since, now);
}

// Reads the clock for a look; a late look starts every count afresh.
ClockSeconds Look(Watch* watch) {
    const ClockSeconds now = ReadClock();
    if (SecondsBetween(watch->lastLook, now) >= kLookMilliseconds / 1000 + kLateSeconds) {
        watch->write.since = now;
        watch->probe.since = now;
    }
    watch->lastLook = now;
    return now;
}

std::uint32_t WriteStuck(Watch* watch, ClockSeconds now) {
    return SecondsStuck(&watch->write, OutputWriteCount(), now);
}

// Output that does not move holds the guard's own lines for good: the run
// then ends without another word, since no word would get out.
void EndOnStalledOutput() {
    Watch watch{};
    for (ClockSeconds now = Look(&watch); WriteStuck(&watch, now) < kStalledSeconds;
         now = Look(&watch)) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

bool TakeOverStalledRun(std::uint32_t probe, std::uint32_t stalled) {
    if (!probeCount.compare_exchange_strong(probe, probe + 1)) {
        return false;
    }
    // The guard's lines may go where the loop's did not get: another thread
    // watches them, and the guard goes on without it if none can start.
    static_cast<void>(StartThread(EndOnStalledOutput));
    if (!probeAfterTimeout) {
        PrintTimeout(job.fileShouldExist);
    }
    PrintStall(stalled);
    PrintElapsedTime(job.startTime);
    ConsoleFlush();
    endPrinted = true;
    return true;
}

// Until one stall before the due time, so that a check stuck since long
// before is named when the timeout falls due.
void SleepUntilFirstLook() {
    const std::uint32_t wake =
        job.dueSeconds > kStalledSeconds ? job.dueSeconds - kStalledSeconds : 0;
    for (std::uint32_t slept = SecondsSince(job.startTime); slept < wake;
         slept = SecondsSince(job.startTime)) {
        const std::uint32_t step = wake - slept;
        SleepOnClock((step < kLongestSleepSeconds ? step : kLongestSleepSeconds) * 1000u);
    }
}

void Guard() {
    SleepUntilFirstLook();
    while (!GuardLook()) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

}  // namespace

void StartStallGuard(const RunSettings& settings, ClockSeconds startTime) {
    endPrinted = false;
    const std::uint64_t dueSeconds = std::uint64_t{60} * settings.timeoutMinutes;
    if (settings.timeoutMinutes == 0 || dueSeconds > std::numeric_limits<ClockSeconds>::max()) {
        return;
    }
    job = GuardJob{startTime, static_cast<std::uint32_t>(dueSeconds), settings.fileShouldExist};
    guardWatch = Watch{};
    static_cast<void>(StartThread(Guard));
}

ProbeTicket BeginProbe(bool timeoutPrinted) {
    probeAfterTimeout = timeoutPrinted;
    return ++probeCount;
}

RunOwner EndProbe(ProbeTicket ticket) {
    return probeCount.compare_exchange_strong(ticket, ticket + 1) ? RunOwner::loop
                                                                  : RunOwner::guard;
}

void WaitToBeEnded() {
    while (!endPrinted) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

bool GuardLook() {
    const ClockSeconds now = Look(&guardWatch);
    const std::uint32_t writeStuck = WriteStuck(&guardWatch, now);
    const std::uint32_t probe = probeCount;
    const std::uint32_t probeStuck = SecondsStuck(&guardWatch.probe, probe, now);
    return writeStuck >= kStalledSeconds ||
           (probeStuck >= kStalledSeconds && TakeOverStalledRun(probe, probeStuck));
}
