#pragma once

#include <cstdint>

#include "wait/run_settings.h"

// Returns when the file condition holds or at the end of the pass in which
// the timeout fired, which counts from the wait's start; prints the header,
// the dots and the outcome. A run with a timeout has had its stall guard
// started (StartStallGuard), which ends it on time should a probe not return.
void PollFileCondition(const RunSettings& settings);

// The pause between checks: a negative count pauses 0 ms, and the length is
// capped below 0xFFFFFFFF, which the Windows pause takes as "forever".
std::uint32_t PauseLength(std::int32_t sleepSeconds);
