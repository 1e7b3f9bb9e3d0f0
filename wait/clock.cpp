#include "wait/clock.h"

std::uint32_t SecondsSince(ClockSeconds start) {
    // Unsigned arithmetic: a difference that wraps stays defined.
    return static_cast<std::uint32_t>(ReadClock()) - static_cast<std::uint32_t>(start);
}

std::uint32_t MinutesSince(ClockSeconds start) {
    return SecondsSince(start) / 60;
}
