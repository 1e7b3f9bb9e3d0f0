#pragma once

#include <cstdint>

#include "platform/platform.h"

// From one reading to a later one, however the readings wrap.
std::uint32_t SecondsBetween(ClockSeconds earlier, ClockSeconds later);

// Both read the clock anew on every call.
std::uint32_t SecondsSince(ClockSeconds start);
std::uint32_t MinutesSince(ClockSeconds start);
