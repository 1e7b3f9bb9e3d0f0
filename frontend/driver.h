#pragma once

#include "platform/platform.h"
#include "wait/run_settings.h"

// Everything before the wait: the usage box or the welcome box, the four
// readers in their fixed order with the first missing one's error line, and
// the settings echo. Returns true when the wait should start. With all four
// parameters read, the stall guard starts before the first text, its due
// time counted from startTime: a write that blocks, the welcome box's
// included, cannot hold the timeout.
bool CheckUserInput(int argc, const char* const* argv, ClockSeconds startTime,
                    RunSettings* settings);

// The whole run; the result is the process exit status, 0 on every path.
int HollowbrookMain(int argc, const char* const* argv);
