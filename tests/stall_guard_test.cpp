#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frontend/driver.h"
#include "tests/sim_platform.h"
#include "wait/elapsed.h"
#include "wait/stall_guard.h"

namespace {

using sim::Settings;
using sim::Wait;

// The guard's looks over the next seconds, one a second, as its thread takes
// them: true once one of them ends the run.
bool GuardLooksFor(sim::World& world, int seconds) {
    for (int second = 0; second < seconds; ++second) {
        world.nowMs += 1000;
        if (GuardLook()) {
            return true;
        }
    }
    return false;
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
        Wait(Settings(1, timeout, true));
        EXPECT_EQ(nullptr, world.thread) << timeout;
    }
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(0);
    Wait(Settings(1, 1, true));
    EXPECT_NE(nullptr, world.thread);
}

TEST(StallGuard, TakesOverAProbeThatNeverReturns) {
    sim::World& world = sim::Reset();
    // From the probe at 4 s on, the file system does not answer: the guard
    // runs while that probe hangs, and the file it then reports changes nothing.
    world.file = [&world](std::uint64_t nowMs) {
        if (nowMs == 4000) {
            world.thread();
        }
        return nowMs < 4000 ? FileState::absent : FileState::exists;
    };
    Wait(Settings(1, 1, true));
    // It counts what it watched: from its first look, at 50 s.
    EXPECT_EQ(std::string("[ Waiting for File to Appear ]\n"
                          "\n"
                          "    WARNING! Timeout condition encountered.\n"
                          "             File was not found.\n"
                          "             The file system did not answer for 10 seconds.\n") +
                  kReportAfterOneMinute,
              world.output);
    EXPECT_EQ(60000u, world.nowMs);
    EXPECT_TRUE(world.flushed);
    EXPECT_EQ(2, world.processEnds) << "both threads end the process, the guard first";
}

TEST(StallGuard, LeavesOutTimeoutLinesTheLoopAlreadyPrinted) {
    sim::World& world = sim::Reset();
    // The last probe, after the timeout lines, hangs: the guard's first look
    // is at 62 s, and it has watched a stall at 72 s.
    world.file = [&world](std::uint64_t nowMs) {
        if (nowMs == 61000) {
            EXPECT_TRUE(GuardLooksFor(world, 11));
        }
        return FileState::unknown;
    };
    Wait(Settings(1, 1, false));
    EXPECT_EQ(
        "[ Waiting for File to be Deleted ]\n"
        "    NOTE: The system cannot tell whether the file exists (error 5); still waiting.\n"
        "    ..........\n"
        "    WARNING! Timeout condition encountered.\n"
        "             File was not deleted.\n"
        "             The file system did not answer for 10 seconds.\n"
        "\n[ Time Elapsed ]\n    hr:mn:sc\n    --------\n    00:01:12\n",
        world.output);
}

// Output that stops moving (a terminal stopped with Ctrl-S) holds the run in a
// write; the guard, looking from 10 s before the due time, sees it not move
// and ends the run at the due time, with nothing more written. It runs before
// the first text, so the write may be the welcome box's, and its due time
// counts from the run's start; it sleeps in steps of at most a minute.
TEST(StallGuard, EndsARunWhoseOutputDoesNotMove) {
    const struct {
        const char* what;
        const char* timeout;
        int writesBefore;  // the first of them takes 30 s
        std::uint64_t endsAtMs;
    } cases[] = {
        {"a write in the wait, after a welcome box that took 30 s", "\\t1", 9, 60000},
        {"the welcome box's write", "\\t1", 0, 60000},
        {"the welcome box's write, a timeout of 5 minutes", "\\t5", 0, 300000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World& world = sim::Reset();
        std::uint64_t endedAtMs = 0;
        std::string outputAtTheEnd;
        int writes = 0;
        std::vector<std::string> guardCalls;
        std::function<void()> count = [&] {
            if (writes++ < c.writesBefore) {
                world.nowMs += writes == 1 ? 30000 : 0;
                world.duringWrite = count;
                return;
            }
            ASSERT_NE(nullptr, world.thread) << "no guard by the write that blocks";
            world.calls.clear();
            world.thread();
            endedAtMs = world.nowMs;
            outputAtTheEnd = world.output;
            guardCalls = world.calls;
        };
        world.duringWrite = count;
        const std::vector<const char*> argv = {"hb", "\\fa", "\\s1", c.timeout, "\\eT"};
        HollowbrookMain(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(c.endsAtMs, endedAtMs);
        EXPECT_EQ(c.writesBefore == 0, outputAtTheEnd.empty()) << outputAtTheEnd;
        EXPECT_EQ(1, world.processEnds);
        // It sleeps by the system's clock, which counts a stop, and looks each second.
        for (const std::string& call : guardCalls) {
            EXPECT_TRUE(call == "pause 1000" ||
                        (call.rfind("sleep ", 0) == 0 && std::stoul(call.substr(6)) <= 60000u))
                << call;
        }
    }
}

// A log on the same share as the file: the guard's own lines do not get out
// either, and the thread that watches them ends the run 10 s later.
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
                EXPECT_EQ(1, world.processEnds) << "the watcher ends the process";
                outputAtTheEnd = world.output;
                endedAtMs = world.nowMs;
            };
            world.thread();
        }
        return FileState::absent;
    };
    Wait(Settings(1, 1, true));
    EXPECT_EQ("[ Waiting for File to Appear ]\n", outputAtTheEnd);
    EXPECT_EQ(70000u, endedAtMs);
}

TEST(StallGuard, LoopKeepsARunWhoseProbeAnswersInTime) {
    sim::World& world = sim::Reset();
    // The guard looks while the last probe hangs for 9 s, and again between
    // passes: neither is a stall of 10 s, so the loop ends the run itself.
    world.file = [&world](std::uint64_t nowMs) {
        if (nowMs == 61000) {
            EXPECT_FALSE(GuardLooksFor(world, 9));
        }
        return nowMs < 61000 ? FileState::absent : FileState::exists;
    };
    Wait(Settings(1, 1, true));
    EXPECT_FALSE(GuardLooksFor(world, 60));
    EXPECT_EQ(
        "[ Waiting for File to Appear ]\n"
        "    ..........\n"
        "    WARNING! Timeout condition encountered.\n"
        "             File was not found.\n"
        "\n    File Condition Met: File was found\n",
        world.output);
    EXPECT_EQ(0, world.processEnds);
}

// A log on an overloaded share takes 3 s for every write; the guard, looking
// each second once the timeout is due, takes none of them for a stalled one,
// not even the write under way while the process is stopped for 30 s.
TEST(StallGuard, KeepsEveryLineOfALogWhoseWritesAreSlow) {
    sim::World& world = sim::Reset();
    bool stopped = false;
    std::function<void()> slowWrite = [&world, &slowWrite, &stopped] {
        for (int second = 0; second < 3; ++second) {
            world.nowMs += 1000;
            if (world.nowMs >= 60000) {
                EXPECT_FALSE(GuardLook()) << "at " << world.nowMs << " ms";
            }
            // Stopped after the guard has seen the write under way.
            if (world.nowMs >= 62000 && !stopped) {
                stopped = true;
                world.nowMs += 30000;
            }
        }
        world.duringWrite = slowWrite;
    };
    world.duringWrite = slowWrite;
    Wait(Settings(1, 1, true));
    PrintElapsedTime(0);
    EXPECT_NE(std::string::npos, world.output.find("    WARNING! Timeout condition encountered.\n"
                                                   "             File was not found.\n"
                                                   "\n[ Time Elapsed ]\n"))
        << world.output;
    EXPECT_EQ(0, world.processEnds);
}

// The process is stopped (Ctrl-Z, then fg) in the middle of a check, or a
// look of the guard comes late: the guard counts only what it watched since,
// so the check that then answers ends the run as the loop would have. A check
// that goes on hanging is named once the guard has watched it for 10 s.
TEST(StallGuard, AStoppedProcessIsNoStalledFileSystem) {
    const struct {
        const char* what;
        std::uint64_t checkMs;
        int looksBefore;
        std::uint64_t stoppedMs;
        bool hangs;
    } cases[] = {
        {"stopped before the due time, the check then answers", 20000, 0, 42000, false},
        {"stopped after the due time, the check then answers", 55000, 0, 15000, false},
        {"stopped after the due time, the check hangs on", 55000, 0, 15000, true},
        {"a look 6 s late while the check hangs", 61000, 5, 7000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World& world = sim::Reset();
        world.file = [&world, &c](std::uint64_t nowMs) {
            if (nowMs == c.checkMs) {
                EXPECT_FALSE(GuardLooksFor(world, c.looksBefore));
                world.nowMs += c.stoppedMs;
                EXPECT_FALSE(GuardLook()) << "the first look after the stop";
                if (c.hangs) {
                    EXPECT_FALSE(GuardLooksFor(world, 9));
                    EXPECT_TRUE(GuardLooksFor(world, 1));
                }
            }
            return FileState::absent;
        };
        Wait(Settings(1, 1, true));
        const std::string stall = "             The file system did not answer for 10 seconds.\n";
        EXPECT_EQ(c.hangs, world.output.find(stall) != std::string::npos) << world.output;
        EXPECT_NE(std::string::npos, world.output.find("             File was not found.\n"));
    }
}

}  // namespace
