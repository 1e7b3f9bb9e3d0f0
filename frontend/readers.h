// The four input parameters are found by their markers (a backslash and a
// letter) anywhere inside any of the first `count` arguments, the program
// path included. Each reader clears its setting first and returns whether its
// marker was found; a later argument with the marker overrides an earlier one.
#pragma once

#include <cstdint>

// A marker inside a path still feeds its reader, but the caller should hear
// of it: a marker in the program's own path (argument 0), or one after a file
// marker (\f or \F) in the same argument, is part of a path.

// *fileNameCut tells whether the value, its trailing blanks discounted, was
// longer than the buffer holds; *insidePath whether it came from inside a
// path: from the program's own path, or from a \f after a \F in one argument
// (\FC:\files\x reads iles\x).
bool ReadFileNameParam(int count, const char* const* argv, char* fileName, int capacity,
                       bool* fileNameCut, bool* insidePath);
// *notWhole tells whether the value was more than an optional sign and
// digits between blanks: "", "abc", "1e3", "0x10" (the value is read anyway).
bool ReadSleepSecondsParam(int count, const char* const* argv, std::int32_t* sleepSeconds,
                           bool* notWhole);
bool ReadTimeoutMinutesParam(int count, const char* const* argv, std::uint32_t* timeoutMinutes,
                             bool* notWhole);
// *setInsidePath tells whether the flag is on only through markers inside a
// path; *unclearWord whether a value taken outside a path, its end blanks
// removed, was none of T, F, TRUE and FALSE in any mix of case.
bool ReadFileShouldExistParam(int count, const char* const* argv, bool* fileShouldExist,
                              bool* setInsidePath, bool* unclearWord);
