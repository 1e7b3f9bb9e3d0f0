// The four input parameters are found by their markers (a backslash and a
// letter) anywhere inside any of the first `count` arguments, the program
// path included. Each reader clears its setting first and returns whether its
// marker was found; a later argument with the marker overrides an earlier one.
#pragma once

#include <cstdint>

// *fileNameCut tells whether the value, its trailing blanks discounted, was
// longer than the buffer holds.
bool ReadFileNameParam(int count, const char* const* argv, char* fileName, int capacity,
                       bool* fileNameCut);
// *notWhole tells whether the value was more than an optional sign and
// digits between blanks: "", "abc", "1e3", "0x10" (the value is read anyway).
bool ReadSleepSecondsParam(int count, const char* const* argv, std::int32_t* sleepSeconds,
                           bool* notWhole);
bool ReadTimeoutMinutesParam(int count, const char* const* argv, std::uint32_t* timeoutMinutes,
                             bool* notWhole);
bool ReadFileShouldExistParam(int count, const char* const* argv, bool* fileShouldExist);
