// A second thread keeps the timeout when a probe of the watched file or a
// write to standard output does not return, as on a share whose server
// stopped answering or on a terminal stopped with Ctrl-S. It sleeps until one
// stall (kStalledSeconds) before the timeout is due, then looks once a second,
// and acts only once the timeout is due. A write that it has seen under way for
// a stall ends the process at once, with nothing more written. A probe that
// it has seen under way for a stall is taken over: the guard prints the
// timeout lines, how long it saw the file system not answer and the
// elapsed-time report, and ends the process. The status is 0 either way.
// It counts only what it watched: from its first look, and afresh from a late
// look (kLateSeconds or more later than it asked for: the process was
// stopped, the machine suspended), never from when the probe or the write
// began.
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
