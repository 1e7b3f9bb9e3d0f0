// The thin layer between the tool and its operating system: clock, pause,
// existence probe, console, and the one extra thread that a timeout needs.
// One implementation file per platform; the unit tests link a simulated one
// in its place.
#pragma once

#include <cstddef>
#include <cstdint>

// Whole seconds from a monotonic clock that keeps counting while the machine
// is suspended. Only differences between two readings mean anything, so a
// change of the wall clock never moves a dot, a timeout or the report.
using ClockSeconds = std::int32_t;

// What a probe of the watched name can tell. Unknown is a failure that says
// nothing about the file (no permission, an I/O error, a vanished share):
// it must never be taken as "absent".
enum class FileState { exists, absent, unknown };

ClockSeconds ReadClock();

// Blocks the thread for the whole pause; 0 only gives up the processor once.
void PauseMilliseconds(std::uint32_t milliseconds);

FileState ProbeFile(const char* fileName);

// Called once before the first text. A reader that goes away must not end
// the wait, and output that cannot be written is dropped, never fatal.
void PrepareConsole();

// Text for standard output: a console gets it at once, a file or a pipe
// through a full buffer that ConsoleFlush empties.
void ConsoleWrite(const char* text, std::size_t length);
void ConsoleFlush();

// Starts routine on a thread of its own with a small stack; the thread is
// never joined. False when the system cannot start one.
bool StartThread(void (*routine)());

// Blocks the calling thread until ReadClock() reaches deadline, in one sleep
// where the system allows it.
void SleepUntil(ClockSeconds deadline);

// Ends the process with status 0 at once: no destructors, no exit handlers,
// no waiting for other threads. Only the simulated platform returns.
void EndProcessNow();
