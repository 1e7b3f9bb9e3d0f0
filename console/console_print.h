#pragma once

#if defined(__GNUC__)
#define HOLLOWBROOK_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define HOLLOWBROOK_PRINTF_FORMAT
#endif

// Formatted printing of the tool's texts to standard output. Each call hands
// its text to the platform in one piece (a text over 2048 bytes in several):
// a console shows it at once, redirected output collects it until the next
// FlushOutput. Understands %s, %d, %u and %%: all the tool's texts need,
// without pulling the C library's whole formatting machinery into a waiting
// process.
void ConsolePrint(const char* format, ...) HOLLOWBROOK_PRINTF_FORMAT;
