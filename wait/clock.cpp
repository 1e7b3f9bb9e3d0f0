#include "wait/clock.h"

std::uint32_t SecondsBetween(ClockSeconds earlier, ClockSeconds later) {
    // Unsigned arithmetic: a difference that wraps stays defined.
    return later - earlier;
}

std::uint32_t SecondsSince(ClockSeconds start) {
    return SecondsBetween(start, ReadClock());
}

std::uint32_t MinutesSince(ClockSeconds start) {
    return SecondsSince(start) / 60;
}
