// A second thread keeps the timeout when a probe of the watched file or a
// write to standard output does not return, as on a share whose server
// stopped answering or on a terminal stopped with Ctrl-S. It sleeps until the
// timeout is due; from then on it looks once a second. A write that has been
// under way for 10 seconds ends the process at once, with nothing more
// written. A probe that has gone on for 10 seconds or more is taken over: the
// guard prints the timeout lines, how long the file system did not answer
// and the elapsed-time report, and ends the process. The status is 0 either
// way. It counts only time during which it looked when it asked to: a look
// that comes much later (the process was stopped, the machine suspended)
// starts its count again.
#pragma once

#include "platform/platform.h"
#include "wait/run_settings.h"

// Starts the guard when the timeout can be reached; a run without one, or
// with one whose deadline lies beyond the clock's range, needs no guard.
void StartStallGuard(const RunSettings& settings, ClockSeconds waitStartTime,
                     ClockSeconds programStartTime);

// Who ends the run once a probe is over: the loop, or the guard that took it
// over meanwhile. The loop then prints nothing more and calls WaitToBeEnded.
enum class RunOwner { loop, guard };

void BeginProbe();
RunOwner EndProbe();
void WaitToBeEnded();

// One look of the guard, as it takes them once a second: true when the run
// must end now, because a write has not moved or because the guard took a
// stalled probe over and printed the run's end.
bool GuardLook();
