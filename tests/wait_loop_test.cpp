#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/sim_platform.h"
#include "wait/wait_loop.h"

namespace {

using sim::Settings;
using sim::Wait;

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

    // A file seen on one file system is not gone because its name now
    // resolves into another: a share unmounted under the wait.
    world = sim::Reset();
    world.file = [](std::uint64_t nowMs) {
        return nowMs < 25000 ? FileState::exists : FileState::absent;
    };
    world.fileSystem = 7;
    world.folderFileSystem = 9;
    Wait(Settings(10, 1, false));
    EXPECT_NE(std::string::npos, world.output.find("exists (error 19); still")) << world.output;
    EXPECT_EQ(std::string::npos, world.output.find("File Condition Met")) << world.output;
    // So is a pattern's match that a scan found, though no look has seen it.
    world = sim::Reset();
    world.scans = {FileState::exists};
    world.fileSystem = 7;
    world.folderFileSystem = 9;
    RunSettings pattern = Settings(10, 1, false);
    std::strcpy(pattern.fileName, "C:\\in\\*.csv");
    Wait(pattern);
    EXPECT_NE(std::string::npos, world.output.find("exists (error 19); still")) << world.output;
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
    const std::string waited = "scan time pause 20 time";
    const struct {
        const char* what;
        std::vector<FileState> scans;
        std::vector<sim::FolderReading> times;
        std::string firstPass;
        const char* outcome;  // gone, still or unknown
        bool wholeReads = false;
        bool snapshots = false;
        bool cached = false;
    } cases[] = {
        {"a snapshot", {absent}, {}, "scan", "gone", true, true},
        {"a snapshot, read in part", {absent, absent}, {fine}, fullPass, "gone", false, true},
        {"a whole read, no snapshot", {absent, absent}, {fine}, fullPass, "gone", true, false},
        {"a still folder", {absent, absent}, {fine}, fullPass, "gone"},
        {"whole seconds", {absent, absent}, {whole}, "scan time pause 2100 time scan time", "gone"},
        {"moved during the wait", {absent}, {fine, later}, waited, "still"},
        {"moved during the scan", {absent, absent}, {fine, fine, later}, fullPass, "still"},
        {"the first scan finds it", {exists}, {}, "scan", "still"},
        {"a folder of cached answers", {exists}, {}, "ask scan", "still", false, false, true},
        {"the second scan finds it", {absent, exists}, {}, waited + " scan", "still"},
        {"first scan unknown", {unknown}, {}, "scan", "unknown"},
        {"second scan unknown", {absent, unknown}, {}, waited + " scan", "unknown"},
        {"first time unknown", {absent}, {timeUnknown}, "scan time", "unknown"},
        {"time after wait unknown", {absent}, {fine, timeUnknown}, waited, "unknown"},
        {"time after scan unknown",
         {absent, absent},
         {fine, fine, timeUnknown},
         fullPass,
         "unknown"},
        {"the folder gone", {absent}, {folderGone}, "scan time", "gone"},
        {"folder gone after scan", {absent, absent}, {fine, fine, folderGone}, fullPass, "gone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World& world = sim::Reset();
        world.file = sim::AppearsAt(0);
        world.scans = c.scans;
        world.folderTimes = c.times;
        world.wholeReads = c.wholeReads;
        world.snapshots = c.snapshots;
        world.cached = c.cached;
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

}  // namespace
