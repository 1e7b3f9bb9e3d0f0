#include "wait/stall_guard.h"

#include <atomic>
#include <cstdint>
#include <limits>

#include "console/console_print.h"
#include "wait/clock.h"
#include "wait/elapsed.h"
#include "wait/wait_lines.h"

namespace {

constexpr std::uint32_t kStalledSeconds = 10;
constexpr std::uint32_t kLookMilliseconds = 1000;
// The loop prints its own timeout lines in the second that the guard wakes:
// only a write seen under way, the same one, for this long is a stall.
constexpr ClockSeconds kOutputStalledSeconds = 2;

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

// The write under way when a look last saw one, and since when.
struct OutputWatch {
    std::uint32_t writeCount;
    ClockSeconds since;
};

bool OutputStalled(OutputWatch* watch) {
    const std::uint32_t writeCount = OutputWriteCount();
    const ClockSeconds now = ReadClock();
    if (writeCount % 2 == 0 || writeCount != watch->writeCount) {
        *watch = OutputWatch{writeCount, now};
        return false;
    }
    return now - watch->since >= kOutputStalledSeconds;
}

// Output that does not move holds the loop, or the guard's own lines, for
// good: the run then ends without another word, since no word would get out.
void EndOnStalledOutput() {
    OutputWatch watch{};
    while (!OutputStalled(&watch)) {
        PauseMilliseconds(kLookMilliseconds);
    }
    EndProcessNow();
}

void Guard() {
    SleepUntil(job.due);
    OutputWatch watch{};
    while (!OutputStalled(&watch) && !TakeOverStalledRun()) {
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
    // The guard's lines may go where the loop's did not get: another thread
    // watches them, and the guard goes on without it if none can start.
    static_cast<void>(StartThread(EndOnStalledOutput));
    PrintTimeout(job.fileShouldExist);
    PrintStall(stalled);
    PrintElapsedTime(job.programStartTime);
    ConsoleFlush();
    endPrinted = true;
    return true;
}
