#pragma once

#include "wait/run_settings.h"

// Everything before the wait: the usage box or the welcome box, the four
// readers in their fixed order with the first missing one's error line, and
// the settings echo. Returns true when the wait should start.
bool CheckUserInput(int argc, const char* const* argv, RunSettings* settings);

// The whole run; the result is the process exit status, 0 on every path.
int HollowbrookMain(int argc, const char* const* argv);
