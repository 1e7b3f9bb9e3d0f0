#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/sim_platform.h"
#include "wait/stall_guard.h"
#include "wait/wait_loop.h"

namespace {

RunSettings Settings(std::int32_t sleepSeconds, std::uint32_t timeoutMinutes, bool shouldExist) {
    RunSettings settings{};
    std::strcpy(settings.fileName, "C:\\jobs\\done.flg");
    settings.sleepSeconds = sleepSeconds;
    settings.timeoutMinutes = timeoutMinutes;
    settings.fileShouldExist = shouldExist;
    return settings;
}

const char kTimedOut[] =
    "[ Waiting for File to Appear ]\n"
    "    ......\n"
    "    WARNING! Timeout condition encountered.\n"
    "             File was not found.\n";

TEST(WaitLoop, OneMinuteTimeoutWithTenSecondPause) {
    sim::World& world = sim::Reset();
    PollFileCondition(Settings(10, 1, true), 0);
    EXPECT_EQ(kTimedOut, world.output);
    EXPECT_EQ(70000u, world.nowMs);
    EXPECT_EQ(7, world.pauses);
    EXPECT_EQ(0, world.pausesWithTextPending) << "a log must show each dot before the next pause";
    EXPECT_EQ(std::string("C:\\jobs\\done.flg"), world.probedNames.back());
}

TEST(WaitLoop, FileCreatedInTheExpiringPassIsStillReported) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(65);
    PollFileCondition(Settings(10, 1, true), 0);
    EXPECT_EQ(std::string(kTimedOut) + "\n    File Condition Met: File was found\n", world.output);
    EXPECT_EQ(70000u, world.nowMs);
}

TEST(WaitLoop, ConditionAlreadyHoldingIsReportedAfterOnePause) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(0);
    PollFileCondition(Settings(3, 0, true), 0);
    EXPECT_EQ("[ Waiting for File to Appear ]\n\n    File Condition Met: File was found\n",
              world.output);
    EXPECT_EQ(3000u, world.nowMs);

    world = sim::Reset();
    PollFileCondition(Settings(3, 0, false), 0);
    EXPECT_EQ(
        "[ Waiting for File to be Deleted ]\n\n    File Condition Met: File no longer exists\n",
        world.output);
    EXPECT_EQ(1, world.pauses);
}

// The first unknown answer is named once, on a line of its own; the dots go
// on below it, and later unknown answers say nothing more.
TEST(WaitLoop, UnknownProbeNeverCountsAsDeletedAndIsNamedOnce) {
    sim::World& world = sim::Reset();
    world.file = [](std::uint64_t nowMs) {
        return nowMs < 25000 ? FileState::exists : FileState::unknown;
    };
    PollFileCondition(Settings(10, 1, false), 0);
    EXPECT_EQ(
        "[ Waiting for File to be Deleted ]\n"
        "    ..\n"
        "    NOTE: The system cannot tell whether the file exists (error 5); still waiting.\n"
        "    ....\n"
        "    WARNING! Timeout condition encountered.\n"
        "             File was not deleted.\n",
        world.output);
    EXPECT_EQ(70000u, world.nowMs);

    // An unknown answer after the timeout lines, in the expiring pass, is no news.
    world = sim::Reset();
    world.file = [](std::uint64_t nowMs) {
        return nowMs < 61000 ? FileState::exists : FileState::unknown;
    };
    PollFileCondition(Settings(10, 1, false), 0);
    EXPECT_EQ(std::string::npos, world.output.find("NOTE")) << world.output;
}

// Every scan of the folder misses the match; while the folder's time moves
// during the second scan of a pass, that is no proof that the match is gone.
TEST(WaitLoop, PatternIsGoneOnlyWhenASecondScanOfAStillFolderFindsNothing) {
    sim::World& world = sim::Reset();
    RunSettings settings = Settings(1, 0, false);
    std::strcpy(settings.fileName, "C:\\in\\*.csv");
    std::uint64_t reads = 0;
    world.folderTime = [&reads](std::uint64_t nowMs) { return nowMs < 3000 ? ++reads : 0; };
    PollFileCondition(settings, 0);
    EXPECT_EQ(
        "[ Waiting for File to be Deleted ]\n\n    File Condition Met: File no longer exists\n",
        world.output);
    EXPECT_EQ(3000u, world.nowMs);
    EXPECT_EQ(6u, world.probedPatterns.size()) << "two scans a pass";

    world = sim::Reset();
    settings.fileShouldExist = true;
    world.file = sim::AppearsAt(2);
    PollFileCondition(settings, 0);
    EXPECT_EQ(2u, world.probedPatterns.size()) << "one scan a pass while waiting for a match";
}

TEST(WaitLoop, DotsComeEverySixSecondsInGroupsOfSeventyFiveOnOneLine) {
    sim::World& world = sim::Reset();
    // A 2 s pause: a dot at 6, 12, 18 ... s; the file appears after the 80th.
    world.file = sim::AppearsAt(80 * 6 + 1);
    PollFileCondition(Settings(2, 0, true), 0);
    const std::string dots = "    " + std::string(75, '.') + "    " + std::string(5, '.');
    EXPECT_EQ(
        "[ Waiting for File to Appear ]\n" + dots + "\n    File Condition Met: File was found\n",
        world.output);
}

TEST(WaitLoop, PauseLengthStaysWithinWhatEveryPlatformCanWait) {
    EXPECT_EQ(0u, PauseLength(-5));
    EXPECT_EQ(0u, PauseLength(0));
    EXPECT_EQ(10000u, PauseLength(10));
    EXPECT_EQ(4294966000u, PauseLength(4294966));
    EXPECT_EQ(4294967000u, PauseLength(4294967));
    EXPECT_EQ(4294967000u, PauseLength(2147483647));
}

const char kReportAfterOneMinute[] =
    "\n"
    "[ Time Elapsed ]\n"
    "    hr:mn:sc\n"
    "    --------\n"
    "    00:01:00\n";

TEST(StallGuard, StartsOnlyForATimeoutTheClockCanReach) {
    for (std::uint32_t timeout : {0u, 4294967295u}) {
        sim::World& world = sim::Reset();
        world.file = sim::AppearsAt(0);
        PollFileCondition(Settings(1, timeout, true), 0);
        EXPECT_EQ(nullptr, world.thread) << timeout;
    }
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(0);
    PollFileCondition(Settings(1, 1, true), 0);
    EXPECT_NE(nullptr, world.thread);
}

// A guard whose sleep fails still waits for the timeout before it acts.
TEST(StallGuard, TakesOverAProbeThatNeverReturns) {
    for (bool sleepFails : {false, true}) {
        sim::World& world = sim::Reset();
        world.sleepFails = sleepFails;
        // From the probe at 4 s on, the file system does not answer: the guard
        // runs while that probe hangs, and the file it then reports changes nothing.
        world.file = [&world](std::uint64_t nowMs) {
            if (nowMs == 4000) {
                world.thread();
            }
            return nowMs < 4000 ? FileState::absent : FileState::exists;
        };
        PollFileCondition(Settings(1, 1, true), 0);
        EXPECT_EQ(std::string("[ Waiting for File to Appear ]\n"
                              "\n"
                              "    WARNING! Timeout condition encountered.\n"
                              "             File was not found.\n"
                              "             The file system did not answer for 56 seconds.\n") +
                      kReportAfterOneMinute,
                  world.output)
            << (sleepFails ? "with a failed sleep" : "");
        EXPECT_EQ(60000u, world.nowMs);
        EXPECT_TRUE(world.flushed);
        EXPECT_EQ(2, world.processEnds) << "both threads end the process, the guard first";
    }
}

TEST(StallGuard, LeavesOutTimeoutLinesTheLoopAlreadyPrinted) {
    sim::World& world = sim::Reset();
    // The last probe, after the timeout lines, hangs for 10 s.
    world.file = [&world](std::uint64_t nowMs) {
        if (nowMs == 61000) {
            world.nowMs += 10000;
            EXPECT_TRUE(TakeOverStalledRun());
        }
        return FileState::unknown;
    };
    PollFileCondition(Settings(1, 1, false), 0);
    EXPECT_EQ(
        "[ Waiting for File to be Deleted ]\n"
        "    NOTE: The system cannot tell whether the file exists (error 5); still waiting.\n"
        "    ..........\n"
        "    WARNING! Timeout condition encountered.\n"
        "             File was not deleted.\n"
        "             The file system did not answer for 10 seconds.\n"
        "\n[ Time Elapsed ]\n    hr:mn:sc\n    --------\n    00:01:11\n",
        world.output);
}

// Output that stops moving (a terminal stopped with Ctrl-S) holds the loop in a
// write; once the timeout is due and that write has not moved for 2 s, the
// run ends at once, with nothing more written.
TEST(StallGuard, EndsARunWhoseOutputDoesNotMove) {
    sim::World& world = sim::Reset();
    std::string outputAtTheEnd;
    std::uint64_t endedAtMs = 0;
    // The first write after the probe at 3 s, the first dot's at 6 s, does not return.
    world.file = [&](std::uint64_t nowMs) {
        if (nowMs == 3000) {
            world.duringWrite = [&] {
                world.thread();
                outputAtTheEnd = world.output;
                endedAtMs = world.nowMs;
            };
        }
        return FileState::absent;
    };
    PollFileCondition(Settings(1, 1, true), 0);
    EXPECT_EQ("[ Waiting for File to Appear ]\n", outputAtTheEnd);
    EXPECT_EQ(62000u, endedAtMs);
    EXPECT_EQ(1, world.processEnds);
}

// A log on the same share as the file: the guard's own lines do not get out
// either, and the thread that watches them ends the run 2 s later.
TEST(StallGuard, EndsARunWhoseGuardCannotWriteEither) {
    sim::World& world = sim::Reset();
    std::string outputAtTheEnd = "never ended";
    std::uint64_t endedAtMs = 0;
    world.file = [&](std::uint64_t nowMs) {
        if (nowMs == 4000) {
            // Runs inside the guard's first write: by then the watcher is the
            // thread last started, another than the guard that is blocked.
            void (*guard)() = world.thread;
            world.duringWrite = [&world, guard, &outputAtTheEnd, &endedAtMs] {
                EXPECT_NE(guard, world.thread);
                world.thread();
                outputAtTheEnd = world.output;
                endedAtMs = world.nowMs;
            };
            world.thread();
        }
        return FileState::absent;
    };
    PollFileCondition(Settings(1, 1, true), 0);
    EXPECT_EQ("[ Waiting for File to Appear ]\n", outputAtTheEnd);
    EXPECT_EQ(62000u, endedAtMs);
}

TEST(StallGuard, LoopKeepsARunWhoseProbeAnswersInTime) {
    sim::World& world = sim::Reset();
    // The guard looks while the last probe hangs for 9 s, and again between
    // passes: neither is a stall of 10 s, so the loop ends the run itself.
    world.file = [&world](std::uint64_t nowMs) {
        if (nowMs == 61000) {
            world.nowMs += 9000;
            EXPECT_FALSE(TakeOverStalledRun());
        }
        return nowMs < 61000 ? FileState::absent : FileState::exists;
    };
    PollFileCondition(Settings(1, 1, true), 0);
    world.nowMs += 60000;
    EXPECT_FALSE(TakeOverStalledRun());
    EXPECT_EQ(
        "[ Waiting for File to Appear ]\n"
        "    ..........\n"
        "    WARNING! Timeout condition encountered.\n"
        "             File was not found.\n"
        "\n    File Condition Met: File was found\n",
        world.output);
    EXPECT_EQ(0, world.processEnds);
}

}  // namespace
