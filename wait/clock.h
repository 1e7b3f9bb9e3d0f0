#pragma once

#include <cstdint>

#include "platform/platform.h"

// Both read the clock anew on every call.
std::uint32_t SecondsSince(ClockSeconds start);
std::uint32_t MinutesSince(ClockSeconds start);
