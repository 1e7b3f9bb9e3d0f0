#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "frontend/driver.h"
#include "tests/sim_platform.h"

namespace {

const char kWelcome[] =
    "+------------------------------+\n"
    "| Welcome to \"Hollowbrook.exe\" |\n"
    "+------------------------------+\n"
    "[ Checking User Input ]\n";

const char kQuotingHint[] =
    "    In a POSIX shell, quote each argument: hollowbrook '\\f<file>' '\\s<seconds>' "
    "'\\t<minutes>' '\\e<T|F>'\n";

// On POSIX the box is followed by how to quote the markers.
TEST(Driver, WrongArgumentCountShowsOnlyTheUsageBox) {
    for (std::size_t count : {1, 4, 6}) {
        sim::World& world = sim::Reset();
        std::vector<const char*> argv(count, "\\fx");
        EXPECT_EQ(0, sim::RunTool(argv));
        const std::string windowsOutput = world.output;
        world = sim::Reset();
        world.syntax = NameSyntax::posix;
        sim::RunTool(argv);
        EXPECT_EQ(windowsOutput + kQuotingHint, world.output);
        std::istringstream lines(windowsOutput);
        std::string line;
        int rows = 0;
        while (std::getline(lines, line)) {
            ++rows;
            EXPECT_EQ(70u, line.size()) << line;
            EXPECT_TRUE(line.front() == line.back() && (line[0] == '|' || line[0] == '+')) << line;
        }
        EXPECT_EQ(23, rows);
        EXPECT_NE(
            std::string::npos,
            windowsOutput.find(
                "| Input:    hollowbrook.exe \\f[file] \\s[sleep] \\t[timeout] \\e[T/F]   |\n"
                "|           \\f  The file the tool is checking for                    |\n"
                "|           \\s  How many seconds to sleep in between each check      |\n"
                "|           \\t  The maximum of time to run in minutes (0 = infinite) |\n"
                "|           \\e  T = \"Return from this tool when the file exists.\"    |\n"
                "|               F = \"Return when the file is deleted.\"               |\n"));
        EXPECT_EQ(std::string::npos, windowsOutput.find("Welcome"));
        EXPECT_EQ(0, world.pauses);
    }
}

// On POSIX, an error where an argument begins with a marker's letter and
// holds no backslash says that the shell most likely dropped it; Windows
// gets the arguments as typed and no such line.
TEST(Driver, ReportsOnlyTheFirstMissingParameter) {
    const std::string lostBackslash =
        "    An argument lacks its marker's backslash: a POSIX shell drops one that is not "
        "quoted.\n";
    const std::string fileError = "    ERROR - File name not found (input parameter = \"\\f\")\n";
    const std::string sleepError =
        "    ERROR - # seconds to sleep was not found (input parameter = \"\\s\")\n";
    const std::string timeoutError =
        "    ERROR - # timeout minutes was not found (input parameter = \"\\t\")\n";
    const struct {
        std::vector<const char*> argv;
        std::string error;
        bool hint;
    } cases[] = {
        {{"C:\\bin\\hb", "f/tmp/x", "s1", "t1", "eT"}, fileError, true},
        {{"hb", "f/tmp/x", "\\s1", "t1", "eT"}, fileError, true},
        {{"hb", "\\f/w/x", "s1", "t1", "eT"}, sleepError, true},
        {{"hb", "\\f/w/x", "\\s1", "junk", "\\eT"}, timeoutError, false},
        {{"hb", "fC:\\x", "\\s1", "\\t1", "\\eT"}, fileError, false},
        {{"hb", " f/tmp/x", "\\s1", "\\t1", "\\eT"}, fileError, true},
        {{"tools/hb", "\\f/w/x", "\\s1", "junk", "\\eT"}, timeoutError, false},
        {{"C:\\tools\\t7\\hb.exe", "\\fx", "\\s0", "\\eF", "junk"}, timeoutError, false},
        {{"hb", "\\fx", "\\s1", "\\t1", "eT"},
         "    ERROR - \"File should exist\" flag not found (input parameter = \"\\e\")\n",
         true},
    };
    for (const auto& c : cases) {
        for (NameSyntax syntax : {NameSyntax::posix, NameSyntax::windows}) {
            sim::World& world = sim::Reset();
            world.syntax = syntax;
            EXPECT_EQ(0, sim::RunTool(c.argv));
            const bool hinted = c.hint && syntax == NameSyntax::posix;
            EXPECT_EQ(kWelcome + c.error + (hinted ? lostBackslash : ""), world.output);
            EXPECT_TRUE(world.flushed);
            EXPECT_EQ(0, world.pauses);
        }
    }
}

TEST(Driver, EchoesTheSettingsThenWaitsAndReports) {
    sim::World& world = sim::Reset();
    EXPECT_EQ(0, sim::RunTool({"hb", "\\f \t /tmp/x y \t ", "\\s-99999999999", "\\t-1", "\\eF"}));
    const std::string expected = std::string(kWelcome) +
                                 "    File to check:    /tmp/x y\n"
                                 "    Seconds to sleep: -2147483648\n"
                                 "    Timeout minutes:  -1\n"
                                 "    File condition:   Wait for file to be deleted\n"
                                 "\n"
                                 "[ Waiting for File to be Deleted ]\n";
    EXPECT_EQ(expected, world.output.substr(0, expected.size()));
    EXPECT_EQ("/tmp/x y", world.probedNames.at(0));
    EXPECT_TRUE(world.flushed);
}

// Each of these gets one warning under the echo, the first that applies, and
// is never probed: the wait lasts until the timeout.
TEST(Driver, NamesThatCannotBeCheckedAreNeverProbed) {
    const std::string overlong(300, 'n');
    // 259 characters of two bytes each, as the system counts them.
    std::string accented;
    for (int count = 0; count < 259; ++count) {
        accented += "\xc3\xa9";
    }
    const char* longer = "File name longer than 259 characters; it cannot be checked.";
    const char* notAllowed =
        "File name holds a character Windows does not allow; it cannot be checked.";
    const char* control = "File name holds a control character; it cannot be checked.";
    const NameSyntax posix = NameSyntax::posix;
    const NameSyntax windows = NameSyntax::windows;
    const struct {
        NameSyntax syntax;
        std::string argument;
        std::string echoed;
        const char* warning;
    } cases[] = {
        {windows, "\\f" + overlong, overlong.substr(0, 259), longer},
        {posix, "\\f" + accented, accented, nullptr},
        {posix, "\\f" + accented + "\xc3\xa9", accented, longer},
        {windows, "\\f \t  ", "", "File name is empty; it cannot be checked."},
        {windows, "\\fC:\\jobs\\lockdir\"", "C:\\jobs\\lockdir\"", notAllowed},
        {windows, "\\fC:\\in\\*\\bad|name", "C:\\in\\*\\bad|name", notAllowed},
        {windows, "\\fC:\\in\\*\\done.flg", "C:\\in\\*\\done.flg",
         "File name has a wildcard before its last part; it cannot be checked."},
        {windows, "\\fC:\\jobs\\done.flg\r", "C:\\jobs\\done.flg\r", notAllowed},
        {posix, "\\f/srv/done.flg\r", "/srv/done.flg\r", control},
        {posix, "\\f/srv/*/a\tb", "/srv/*/a\tb", control},
        {posix, "\\f/srv/in/\"<|>", "/srv/in/\"<|>", nullptr},
    };
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        world.syntax = c.syntax;
        EXPECT_EQ(0, sim::RunTool({"hb", c.argument.c_str(), "\\s10", "\\t1", "\\eT"}));
        const std::string warning =
            c.warning == nullptr ? "" : std::string("    WARNING! ") + c.warning + "\n";
        const std::string expected = "    File to check:    " + c.echoed +
                                     "\n"
                                     "    Seconds to sleep: 10\n"
                                     "    Timeout minutes:  1\n"
                                     "    File condition:   Wait for file to exist\n"
                                     "\n" +
                                     warning +
                                     "[ Waiting for File to Appear ]\n"
                                     "    ......\n"
                                     "    WARNING! Timeout condition encountered.\n";
        EXPECT_NE(std::string::npos, world.output.find(expected)) << world.output;
        EXPECT_EQ(c.warning != nullptr, world.probedNames.empty()) << c.echoed;
        EXPECT_TRUE(world.probedPatterns.empty()) << c.echoed;
        EXPECT_EQ(70000u, world.nowMs);
    }
}

// A wildcard in the last part makes a pattern; the ? of the long-path prefix
// does not.
TEST(Driver, PatternsAndLongPathsAreCheckedEachTheirWay) {
    const struct {
        const char* name;
        bool pattern;
    } cases[] = {{"C:\\inbox\\*.txt", true}, {"\\\\?\\C:\\jobs\\done.flg", false}};
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        world.file = sim::AppearsAt(0);
        EXPECT_EQ(0, sim::RunTool(
                         {"hb", (std::string("\\f") + c.name).c_str(), "\\s10", "\\t1", "\\eT"}));
        EXPECT_NE(std::string::npos, world.output.find("File Condition Met: File was found"));
        EXPECT_EQ(c.pattern ? world.probedPatterns : world.probedNames,
                  std::vector<std::string>{c.name});
        EXPECT_TRUE((c.pattern ? world.probedNames : world.probedPatterns).empty());
    }
}

TEST(Driver, TypicalRunEndToEnd) {
    sim::World& world = sim::Reset();
    world.file = sim::AppearsAt(35);
    const char* argv[] = {"hollowbrook.exe", "\\fC:\\jobs\\done.flg", "\\s10", "\\t30", "\\eT"};
    EXPECT_EQ(0, HollowbrookMain(5, argv));
    EXPECT_EQ(std::string(kWelcome) +
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

}  // namespace
