#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "frontend/driver.h"
#include "tests/sim_platform.h"
#include "wait/elapsed.h"
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

// A run as the driver starts it: the guard, due from 0 s, then the loop.
void Wait(const RunSettings& settings) {
    StartStallGuard(settings, 0);
    PollFileCondition(settings);
}

const char kTimedOut[] =
    "[ Waiting for File to Appear ]\n"
    "    ......\n"
    "    WARNING! Timeout condition encountered.\n"
    "             File was not found.\n";

TEST(WaitLoop, OneMinuteTimeoutWithTenSecondPause) {
    sim::World& world = sim::Reset();
    Wait(Settings(10, 1, true));
    EXPECT_EQ(kTimedOut, world.output);
    EXPECT_EQ(70000u, world.nowMs);
    EXPECT_EQ(7, world.pauses);
    EXPECT_EQ(0, world.pausesWithTextPending) << "a log must show each dot before the next pause";
    EXPECT_EQ(std::string("C:\\jobs\\done.flg"), world.probedNames.back());
}

TEST(WaitLoop, FileCreatedInTheExpiringPassIsStillReported) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(65);
    Wait(Settings(10, 1, true));
    EXPECT_EQ(std::string(kTimedOut) + "\n    File Condition Met: File was found\n", world.output);
    EXPECT_EQ(70000u, world.nowMs);
}

TEST(WaitLoop, ConditionAlreadyHoldingIsReportedAfterOnePause) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(0);
    Wait(Settings(3, 0, true));
    EXPECT_EQ("[ Waiting for File to Appear ]\n\n    File Condition Met: File was found\n",
              world.output);
    EXPECT_EQ(3000u, world.nowMs);

    world = sim::Reset();
    Wait(Settings(3, 0, false));
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
    Wait(Settings(10, 1, false));
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
    Wait(Settings(10, 1, false));
    EXPECT_EQ(std::string::npos, world.output.find("NOTE")) << world.output;
}

// "Gone" for a pattern, branch by branch: the first pass of a deletion wait
// with the scans and folder times given, and what it costs. Past those
// answers a scan finds the match, so a pass that does not end the wait is
// followed by passes that never do. An empty whole read of a folder whose
// reads are snapshots is gone at once; anything less takes the clock rule.
TEST(WaitLoop, PatternIsGoneOnlyAfterAScanOfAStillFolderFindsNothing) {
    const FileState absent = FileState::absent;
    const FileState exists = FileState::exists;
    const FileState unknown = FileState::unknown;
    const sim::FolderReading fine{exists, FolderTime{7, 250000000}};
    const sim::FolderReading later{exists, FolderTime{7, 260000000}};
    const sim::FolderReading whole{exists, FolderTime{8, 0}};
    const sim::FolderReading timeUnknown{unknown, FolderTime{}};
    const sim::FolderReading folderGone{absent, FolderTime{}};
    const std::string fullPass = "scan time pause 20 time scan time";
    const struct {
        const char* what;
        std::vector<FileState> scans;
        std::vector<sim::FolderReading> times;
        std::string firstPass;
        const char* outcome;  // gone, still or unknown
        bool wholeReads = false;
        bool snapshots = false;
    } cases[] = {
        {"a snapshot", {absent}, {}, "scan", "gone", true, true},
        {"a partial read of a snapshot folder",
         {absent, absent},
         {fine},
         fullPass,
         "gone",
         false,
         true},
        {"a whole read, no snapshot", {absent, absent}, {fine}, fullPass, "gone", true, false},
        {"a still folder", {absent, absent}, {fine}, fullPass, "gone"},
        {"whole seconds", {absent, absent}, {whole}, "scan time pause 2100 time scan time", "gone"},
        {"moved during the wait", {absent}, {fine, later}, "scan time pause 20 time", "still"},
        {"moved during the scan", {absent, absent}, {fine, fine, later}, fullPass, "still"},
        {"the first scan finds it", {exists}, {}, "scan", "still"},
        {"the second scan finds it", {absent, exists}, {}, "scan time pause 20 time scan", "still"},
        {"first scan unknown", {unknown}, {}, "scan", "unknown"},
        {"second scan unknown", {absent, unknown}, {}, "scan time pause 20 time scan", "unknown"},
        {"first time unknown", {absent}, {timeUnknown}, "scan time", "unknown"},
        {"time after the wait unknown",
         {absent},
         {fine, timeUnknown},
         "scan time pause 20 time",
         "unknown"},
        {"time after the scan unknown",
         {absent, absent},
         {fine, fine, timeUnknown},
         fullPass,
         "unknown"},
        {"the folder gone", {absent}, {folderGone}, "scan time", "gone"},
        {"the folder gone after the scan",
         {absent, absent},
         {fine, fine, folderGone},
         fullPass,
         "gone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World& world = sim::Reset();
        world.file = sim::AppearsAt(0);
        world.scans = c.scans;
        world.folderTimes = c.times;
        world.wholeReads = c.wholeReads;
        world.snapshots = c.snapshots;
        RunSettings settings = Settings(1, 1, false);
        std::strcpy(settings.fileName, "C:\\in\\*.csv");
        Wait(settings);

        const auto first = std::find(world.calls.begin(), world.calls.end(), "pause 1000");
        const auto next = std::find(first + 1, world.calls.end(), "pause 1000");
        std::string firstPass;
        for (auto call = first + 1; call != next; ++call) {
            firstPass += (firstPass.empty() ? "" : " ") + *call;
        }
        EXPECT_EQ(c.firstPass, firstPass);
        const std::string outcome = c.outcome;
        EXPECT_EQ(outcome == "gone", world.output.find("File Condition Met") != std::string::npos)
            << world.output;
        EXPECT_EQ(outcome == "unknown",
                  world.output.find("    NOTE: The system cannot tell whether the file exists "
                                    "(error 5); still waiting.\n") != std::string::npos)
            << world.output;
    }
}

// While the last match a scan found is there, one look a pass answers for the
// pattern. Once it is gone the pass scans: a match renamed to another
// matching name is still there, and the next pass looks at that one.
TEST(WaitLoop, AMatchThatIsThereCostsOneLookAPass) {
    sim::World& world = sim::Reset();
    world.wholeReads = world.snapshots = true;
    world.scans = {FileState::exists, FileState::exists, FileState::absent};
    world.file = [](std::uint64_t nowMs) {
        return nowMs < 3500 ? FileState::exists : FileState::absent;
    };
    RunSettings settings = Settings(1, 0, false);
    std::strcpy(settings.fileName, "C:\\in\\*.csv");
    Wait(settings);
    std::string calls;
    for (const std::string& call : world.calls) {
        calls += (calls.empty() ? "" : " ") + (call == "pause 1000" ? "|" : call);
    }
    EXPECT_EQ("| scan | look | look | look scan | look scan", calls);
    EXPECT_EQ("C:\\in\\match.csv", world.probedNames.at(0));
    EXPECT_NE(std::string::npos, world.output.find("File no longer exists"));
}

TEST(WaitLoop, DotsComeEverySixSecondsInGroupsOfSeventyFiveOnOneLine) {
    sim::World& world = sim::Reset();
    // A 2 s pause: a dot at 6, 12, 18 ... s; the file appears after the 80th.
    world.file = sim::AppearsAt(80 * 6 + 1);
    Wait(Settings(2, 0, true));
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
        for (const std::string& call : guardCalls) {
            EXPECT_LE(std::stoul(call.substr(call.find(' ') + 1)), 60000u) << call;
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
