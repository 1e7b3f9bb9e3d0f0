#include "tests/sim_platform.h"

#include <cstdarg>
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
    sim::world.nowMs += milliseconds;
}

FileState ProbeFile(const char* fileName) {
    sim::world.probedNames.emplace_back(fileName);
    return sim::world.file ? sim::world.file(sim::world.nowMs) : FileState::absent;
}

void PrepareConsole() {}

void ConsolePrint(const char* format, ...) {
    char text[4096];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length >= static_cast<int>(sizeof text)) {
        std::fprintf(stderr, "simulated console line too long\n");
        std::abort();
    }
    sim::world.output.append(text, static_cast<std::size_t>(length));
}
