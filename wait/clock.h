#pragma once

#include <cstdint>

#include "platform/platform.h"

// The longest span two readings can tell apart.
constexpr std::uint64_t kLongestSpan = 0xFFFFFFFFu;

// From one reading to a later one, however the readings wrap.
std::uint32_t SecondsBetween(ClockSeconds earlier, ClockSeconds later);

// Whether `later` is at least `seconds` past `earlier`, a reading that may
// also be later itself: half the clock's range decides which comes first.
bool IsLaterBy(ClockSeconds earlier, ClockSeconds later, std::uint32_t seconds);

// Both read the clock anew on every call.
std::uint32_t SecondsSince(ClockSeconds start);
std::uint32_t MinutesSince(ClockSeconds start);
