#include "wait/elapsed.h"

#include <cstdint>

#include "console/console_print.h"
#include "wait/clock.h"

void PrintElapsedTime(ClockSeconds programStartTime) {
    ConsolePrint("\n");
    ConsolePrint("[ Time Elapsed ]\n");
    const std::uint32_t total = SecondsSince(programStartTime);
    const unsigned hours = total / 3600;
    const unsigned minutes = total / 60 % 60;
    const unsigned seconds = total % 60;
    ConsolePrint("    hr:mn:sc\n");
    ConsolePrint("    --------\n");
    ConsolePrint(hours < 10 ? "    0%u:" : "    %u:", hours);
    ConsolePrint(minutes < 10 ? "0%u:" : "%u:", minutes);
    ConsolePrint(seconds < 10 ? "0%u\n" : "%u\n", seconds);
}
