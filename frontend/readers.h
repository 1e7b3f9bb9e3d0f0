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
bool ReadSleepSecondsParam(int count, const char* const* argv, std::int32_t* sleepSeconds);
bool ReadTimeoutMinutesParam(int count, const char* const* argv, std::uint32_t* timeoutMinutes);
bool ReadFileShouldExistParam(int count, const char* const* argv, bool* fileShouldExist);
