#include "wait/stall_guard.h"

#include <atomic>
#include <cstdint>
#include <limits>

#include "wait/clock.h"
#include "wait/elapsed.h"
#include "wait/wait_lines.h"

namespace {

constexpr std::uint32_t kStalledSeconds = 10;
constexpr std::uint32_t kLookMilliseconds = 1000;

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

void Guard() {
    SleepUntil(job.due);
    while (!TakeOverStalledRun()) {
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

bool TakeOverStalledRun() {
    ClockSeconds since = probingSince;
    // A sleep that failed or ended early is no reason to act before the due time.
    if (since < 0 || ReadClock() < job.due) {
        return false;
    }
    const std::uint32_t stalled = SecondsSince(since);
    if (stalled < kStalledSeconds || !probingSince.compare_exchange_strong(since, kTakenOver)) {
        return false;
    }
    PrintTimeout(job.fileShouldExist);
    PrintStall(stalled);
    PrintElapsedTime(job.programStartTime);
    FlushOutput();
    endPrinted = true;
    return true;
}
