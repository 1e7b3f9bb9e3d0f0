#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define HOLLOWBROOK_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define HOLLOWBROOK_PRINTF_FORMAT
#endif

// Formatted printing of the tool's texts to standard output. Each call hands
// its text to the platform in one piece (a text over kLongestText bytes in several):
// a Windows console shows it at once, other output collects it until the
// next ConsoleFlush. Understands %s, %d, %u and %%: all the tool's texts need,
// without pulling the C library's whole formatting machinery into a waiting
// process.
void ConsolePrint(const char* format, ...) HOLLOWBROOK_PRINTF_FORMAT;

// Empties what redirected output has collected: before a pause, and at the end.
void ConsoleFlush();

// Standard output has one writer at a time, and the console's state (this
// count, the platform's output buffer) rests on that. The loop writes, and
// hands over only by letting the guard take a stalled probe over: from then
// on the loop writes nothing more, and the guard writes the run's end. The
// thread that watches the guard's lines never writes. Other threads read
// OutputWriteCount() alone.
//
// Every write to standard output is counted as it begins and as it ends, so
// that another thread can tell a write that does not return (a stopped
// terminal, a pipe nobody reads, a log on a share that stopped answering):
// the count is odd while one is under way, and stays so while it hangs.
std::uint32_t OutputWriteCount();
