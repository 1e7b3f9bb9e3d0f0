#include "tests/sim_platform.h"

#include <cstdio>
#include <cstdlib>

namespace sim {
namespace {

World world;

// No simulated wait in these tests runs for more than a few days.
constexpr int kMaxPauses = 1000000;

}  // namespace

World& Reset() {
    world = World{};
    return world;
}

World& Current() {
    return world;
}

std::function<FileState(std::uint64_t)> AppearsAt(std::uint64_t second) {
    return [second](std::uint64_t nowMs) {
        return nowMs >= second * 1000 ? FileState::exists : FileState::absent;
    };
}

}  // namespace sim

ClockSeconds ReadClock() {
    return static_cast<ClockSeconds>(sim::world.nowMs / 1000);
}

void PauseMilliseconds(std::uint32_t milliseconds) {
    if (++sim::world.pauses > sim::kMaxPauses) {
        std::fprintf(stderr, "simulated wait never ended\n");
        std::abort();
    }
    if (!sim::world.flushed) {
        ++sim::world.pausesWithTextPending;
    }
    sim::world.nowMs += milliseconds;
}

FileState ProbeFile(const char* fileName) {
    sim::world.probedNames.emplace_back(fileName);
    return sim::world.file ? sim::world.file(sim::world.nowMs) : FileState::absent;
}

void PrepareConsole() {}

void ConsoleWrite(const char* text, std::size_t length) {
    sim::world.output.append(text, length);
    sim::world.flushed = false;
}

void ConsoleFlush() {
    sim::world.flushed = true;
}

bool StartThread(void (*routine)()) {
    sim::world.thread = routine;
    return true;
}

void SleepUntil(ClockSeconds deadline) {
    const std::uint64_t deadlineMs = static_cast<std::uint64_t>(deadline) * 1000;
    if (sim::world.nowMs < deadlineMs) {
        sim::world.nowMs = deadlineMs;
    }
}

void EndProcessNow() {
    ++sim::world.processEnds;
}
