// The four input parameters are found by their markers, a backslash and a
// letter. A marker counts only where a parameter can begin: at the start of
// one of the four arguments (blanks before it allowed), or right after the
// value of a pause, a timeout or a flag in the same argument (\s5\t10). A
// file name runs to the end of its argument, backslashes and all, so no path
// ever feeds a reader.
//
// Each reader scans the arguments after the program's own path, arguments[0]
// to arguments[count - 1], clears its setting first and returns whether its
// marker was found. In each argument the lower-case marker counts before the
// upper-case one; a later argument with the marker overrides an earlier one,
// but the flag only ever turns on.
#pragma once

#include <cstdint>

// An argument that begins, blanks aside, with a marker's letter and holds no
// backslash at all: a marker whose backslash a POSIX shell took.
bool LostItsMarkerBackslash(const char* argument);

// A longer name keeps its first kLongestFileName characters as the system
// counts them; *fileNameCut tells whether the value, its trailing blanks
// discounted, was cut.
bool ReadFileNameParam(int count, const char* const* arguments, char* fileName, int capacity,
                       bool* fileNameCut);
// *notWhole tells whether the value was more than an optional sign and
// digits between blanks: "", "abc", "1e3", "0x10" (the value is read anyway).
bool ReadSleepSecondsParam(int count, const char* const* arguments, std::int32_t* sleepSeconds,
                           bool* notWhole);
bool ReadTimeoutMinutesParam(int count, const char* const* arguments, std::uint32_t* timeoutMinutes,
                             bool* notWhole);
// *unclearWord tells whether a value, its end blanks removed, was none of T,
// F, TRUE and FALSE in any mix of case.
bool ReadFileShouldExistParam(int count, const char* const* arguments, bool* fileShouldExist,
                              bool* unclearWord);
