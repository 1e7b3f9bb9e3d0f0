#pragma once

#include <cstdint>

// Room for the longest path a Windows program can name, with its terminator.
constexpr int kFileNameCapacity = 260;

struct RunSettings {
    char fileName[kFileNameCapacity];
    std::int32_t sleepSeconds;
    std::uint32_t timeoutMinutes;  // 0: no timeout
    bool fileShouldExist;          // false: wait for the file to be deleted
    // The name typed was longer than the buffer: what it holds is another
    // path, which the wait never probes.
    bool fileNameCut;
};
