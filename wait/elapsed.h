#pragma once

#include "platform/platform.h"

// The whole run's duration since programStartTime, as hr:mn:sc.
void PrintElapsedTime(ClockSeconds programStartTime);
