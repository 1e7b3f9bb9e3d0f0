#include "wait/clock.h"

std::uint32_t SecondsBetween(ClockSeconds earlier, ClockSeconds later) {
    // Unsigned arithmetic: a difference that wraps stays defined.
    return later - earlier;
}

bool IsLaterBy(ClockSeconds earlier, ClockSeconds later, std::uint32_t seconds) {
    const std::uint32_t gap = SecondsBetween(earlier, later);
    return gap >= seconds && gap < 0x80000000u;
}

std::uint32_t SecondsSince(ClockSeconds start) {
    return SecondsBetween(start, ReadClock());
}

std::uint32_t MinutesSince(ClockSeconds start) {
    return SecondsSince(start) / 60;
}
