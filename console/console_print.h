#pragma once

#if defined(__GNUC__)
#define HOLLOWBROOK_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define HOLLOWBROOK_PRINTF_FORMAT
#endif

// Formatted printing of the tool's texts to the console, one write per call.
// Understands %s, %d, %u and %%: all the tool's texts need, without pulling
// the C library's whole formatting machinery into a waiting process.
void ConsolePrint(const char* format, ...) HOLLOWBROOK_PRINTF_FORMAT;
