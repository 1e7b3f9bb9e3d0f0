#include <gtest/gtest.h>

#include <string>

#include "tests/sim_platform.h"
#include "wait/elapsed.h"

namespace {

TEST(ElapsedTime, PrintsHoursMinutesAndSecondsOfTheWholeRun) {
    const struct {
        std::uint64_t seconds;
        const char* shown;
    } cases[] = {
        {0, "00:00:00"},       {59, "00:00:59"},
        {60, "00:01:00"},      {3599, "00:59:59"},
        {3600, "01:00:00"},    {3725, "01:02:05"},
        {32949, "09:09:09"},   {36610, "10:10:10"},
        {360000, "100:00:00"}, {4294967295u, "1193046:28:15"},
    };
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        world.nowMs = (1000 + c.seconds) * 1000 + 999;
        PrintElapsedTime(1000);
        EXPECT_EQ(
            std::string("\n[ Time Elapsed ]\n    hr:mn:sc\n    --------\n    ") + c.shown + "\n",
            world.output);
    }
}

}  // namespace
