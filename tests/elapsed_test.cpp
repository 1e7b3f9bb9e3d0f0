#include <gtest/gtest.h>

#include <string>

#include "frontend/driver.h"
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

TEST(ElapsedTime, TypicalRunEndToEndOnTheSimulatedPlatform) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(35);
    const char* argv[] = {"hollowbrook.exe", "\\fC:\\jobs\\done.flg", "\\s10", "\\t30", "\\eT"};
    EXPECT_EQ(0, HollowbrookMain(5, argv));
    EXPECT_EQ(
        "+------------------------------+\n"
        "| Welcome to \"Hollowbrook.exe\" |\n"
        "+------------------------------+\n"
        "[ Checking User Input ]\n"
        "    File to check:    C:\\jobs\\done.flg\n"
        "    Seconds to sleep: 10\n"
        "    Timeout minutes:  30\n"
        "    File condition:   Wait for file to exist\n"
        "\n"
        "[ Waiting for File to Appear ]\n"
        "    ...\n"
        "    File Condition Met: File was found\n"
        "\n"
        "[ Time Elapsed ]\n"
        "    hr:mn:sc\n"
        "    --------\n"
        "    00:00:40\n",
        world.output);
}

TEST(ElapsedTime, TimedOutRunEndsWithTheSameReport) {
    sim::World& world = sim::Reset();
    const char* argv[] = {"hb", "\\fx", "\\s10", "\\t1", "\\eT"};
    HollowbrookMain(5, argv);
    const std::string tail =
        "File was not found.\n\n[ Time Elapsed ]\n    hr:mn:sc\n    --------\n"
        "    00:01:10\n";
    ASSERT_GE(world.output.size(), tail.size());
    EXPECT_EQ(tail, world.output.substr(world.output.size() - tail.size()));
}

}  // namespace
