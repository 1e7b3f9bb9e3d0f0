#pragma once

#include <cstdint>

#include "names/name_rules.h"

struct RunSettings {
    char fileName[kFileNameCapacity];
    std::int32_t sleepSeconds;
    std::uint32_t timeoutMinutes;  // 0: no timeout
    bool fileShouldExist;          // false: wait for the file to be deleted
    // The name typed was longer than the tool watches (kLongestFileName):
    // what remains is another path, which the wait never probes.
    bool fileNameCut;
    // The value after the marker was more than blanks, a sign and digits:
    // what it reads as may not be what the caller meant.
    bool sleepSecondsNotWhole;
    bool timeoutMinutesNotWhole;
    // A flag value was none of T, F, TRUE and FALSE.
    bool flagWordUnclear;
};
