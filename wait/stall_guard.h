// A second thread keeps the timeout when a probe of the watched file or a
// write to standard output does not return, as on a share whose server
// stopped answering or on a terminal stopped with Ctrl-S. It starts before
// the run's first text, sleeps on the system's clock until one stall
// (kStalledSeconds) before the timeout is due, then looks once a second, so
// that what it has watched for a stall is due no earlier than the timeout. A
// write that it has seen under way for a stall ends the process at once,
// with nothing more written. A probe that it has seen under way for a stall
// is taken over: the guard prints the timeout lines, how long it saw the
// file system not answer and the elapsed-time report, and ends the process.
// The status is 0 either way.
// It counts only what it watched: from the look that first saw a write or a
// probe under way, and afresh from a late look (kLateSeconds or more later
// than it asked for: the process was stopped, the machine suspended).
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "wait/run_settings.h"

// Starts the guard when the timeout can be reached, due that many minutes
// after startTime, the reading taken before the run's first text, which
// the elapsed-time report counts from too. A run without a timeout, or with
// one beyond the clock's range, needs no guard.
void StartStallGuard(const RunSettings& settings, ClockSeconds startTime);

// Who ends the run once a probe is over: the loop, or the guard that took it
// over meanwhile. The loop then prints nothing more and calls WaitToBeEnded.
enum class RunOwner { loop, guard };

// Tells one probe from the next; EndProbe takes the one BeginProbe gave. A
// guard that takes over a probe begun after the timeout lines leaves them out.
using ProbeTicket = std::uint32_t;

ProbeTicket BeginProbe(bool timeoutPrinted);
RunOwner EndProbe(ProbeTicket ticket);
void WaitToBeEnded();

// One look of the guard, as it takes them once a second from one stall before
// the due time: true when the run must end now, because a write has not moved
// or because the guard took a stalled probe over and printed the run's end.
bool GuardLook();
