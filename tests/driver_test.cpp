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

int RunTool(std::vector<const char*> argv) {
    return HollowbrookMain(static_cast<int>(argv.size()), argv.data());
}

const char kQuotingHint[] =
    "    In a POSIX shell, quote each argument: hollowbrook '\\f<file>' '\\s<seconds>' "
    "'\\t<minutes>' '\\e<T|F>'\n";

// On POSIX the box is followed by how to quote the markers.
TEST(Driver, WrongArgumentCountShowsOnlyTheUsageBox) {
    for (std::size_t count : {1, 4, 6}) {
        sim::World& world = sim::Reset();
        std::vector<const char*> argv(count, "\\fx");
        EXPECT_EQ(0, RunTool(argv));
        const std::string windowsOutput = world.output;
        world = sim::Reset();
        world.syntax = NameSyntax::posix;
        RunTool(argv);
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
            windowsOutput.find("| Input:    hollowbrook.exe \\f[file] \\s[sleep] \\t[timeout] "
                               "\\e[T/F]   |\n"));
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
        {{"hb", "\\fx", "\\s1", "\\t1", "d"},
         "    ERROR - \"File should exist\" flag not found (input parameter = \"\\e\")\n",
         false},
    };
    for (const auto& c : cases) {
        for (NameSyntax syntax : {NameSyntax::posix, NameSyntax::windows}) {
            sim::World& world = sim::Reset();
            world.syntax = syntax;
            EXPECT_EQ(0, RunTool(c.argv));
            const bool hinted = c.hint && syntax == NameSyntax::posix;
            EXPECT_EQ(kWelcome + c.error + (hinted ? lostBackslash : ""), world.output);
            EXPECT_TRUE(world.flushed);
            EXPECT_EQ(0, world.pauses);
        }
    }
}

TEST(Driver, EchoesTheSettingsThenWaitsAndReports) {
    sim::World& world = sim::Reset();
    EXPECT_EQ(0, RunTool({"hb", "\\f \t /tmp/x y \t ", "\\s-99999999999", "\\t-1", "\\eF"}));
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
    const struct {
        NameSyntax syntax;
        std::string argument;
        std::string echoed;
        const char* warning;
    } cases[] = {
        {NameSyntax::windows, "\\f" + overlong, overlong,
         "File name longer than 259 characters; it cannot be checked."},
        {NameSyntax::posix, "\\f" + accented, accented, nullptr},
        {NameSyntax::posix, "\\f" + accented + "\xc3\xa9", accented + "\xc3\xa9",
         "File name longer than 259 characters; it cannot be checked."},
        {NameSyntax::windows, "\\f \t  ", "", "File name is empty; it cannot be checked."},
        {NameSyntax::windows, "\\fC:\\jobs\\lockdir\"", "C:\\jobs\\lockdir\"",
         "File name holds a character Windows does not allow; it cannot be checked."},
        {NameSyntax::windows, "\\fC:\\in\\*\\bad|name", "C:\\in\\*\\bad|name",
         "File name holds a character Windows does not allow; it cannot be checked."},
        {NameSyntax::windows, "\\fC:\\in\\*\\done.flg", "C:\\in\\*\\done.flg",
         "File name has a wildcard before its last part; it cannot be checked."},
        {NameSyntax::windows, "\\fC:\\jobs\\done.flg\r", "C:\\jobs\\done.flg\r",
         "File name holds a character Windows does not allow; it cannot be checked."},
        {NameSyntax::posix, "\\f/srv/done.flg\r", "/srv/done.flg\r",
         "File name holds a control character; it cannot be checked."},
        {NameSyntax::posix, "\\f/srv/*/a\tb", "/srv/*/a\tb",
         "File name holds a control character; it cannot be checked."},
        {NameSyntax::posix, "\\f/srv/in/\"<|>", "/srv/in/\"<|>", nullptr},
    };
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        world.syntax = c.syntax;
        EXPECT_EQ(0, RunTool({"hb", c.argument.c_str(), "\\s10", "\\t1", "\\eT"}));
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

// Values that may not say what the caller meant read as they read, and one
// line each under the echo says so, in this order: the name, the pause, the
// timeout, the flag.
TEST(Driver, ValuesThatMayBeMisreadAreNamed) {
    const std::string pause = "    WARNING! Seconds to sleep is not a whole number; it reads as ";
    const std::string timeout = "    WARNING! Timeout minutes is not a whole number; it reads as ";
    const std::string word = "    WARNING! File condition is neither T nor F; it reads as: ";
    const std::string wordExists = word + "Wait for file to exist.\n";
    const std::string wordDeleted = word + "Wait for file to be deleted.\n";
    const struct {
        std::vector<const char*> argv;
        std::string warnings;
    } cases[] = {
        {{"hb", "\\f", "\\s2x", "\\t1.5", "\\eF"},
         "    WARNING! File name is empty; it cannot be checked.\n" + pause + "2.\n" + timeout +
             "1.\n"},
        {{"hb", "\\fa", "\\s", "\\t0x10", "\\eF"}, pause + "0.\n" + timeout + "0.\n"},
        {{"hb", "\\fa", "\\sabc", "\\t2h", "\\eF"}, pause + "0.\n" + timeout + "2.\n"},
        {{"hb", "\\fa", "\\s1e3", "\\t -1 ", "\\eF"}, pause + "1.\n"},
        {{"hb", "\\fa", "\\s \t+99999999999\t", "\\t-2", "\\eF"}, ""},
        {{"hb", "\\fa", "\\s1", "\\t1", "\\edelete"}, wordExists},
        {{"hb", "\\fa", "\\s1", "\\t1", "\\eFAT"}, wordExists},
        {{"hb", "\\fa", "\\s1", "\\t1", "\\eyes"}, wordDeleted},
        {{"hb", "\\eyes", "\\fa", "\\s1\\t1", "\\eT"}, wordExists},
        {{"hb", "\\fa", "\\s1", "\\t1", "\\e1"}, wordDeleted},
        {{"hb", "\\fa", "\\s1", "\\t1", "\\e"}, wordDeleted},
        {{"hb", "\\s1\\eFALSE", "\\t1\\efalse", "\\e\tTrue ", "\\fa"}, ""},
        {{"hb", "\\s1\\eyes\\t1", "\\fa", "x", "y"}, wordDeleted},
        {{"hb", "\\f", "\\s1x", "\\t2y", "\\eyes"},
         "    WARNING! File name is empty; it cannot be checked.\n" + pause + "1.\n" + timeout +
             "2.\n" + wordDeleted},
    };
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        RunTool(c.argv);
        const std::size_t echoEnd = world.output.find("\n\n") + 2;
        const std::size_t header = world.output.find("[ Waiting for File");
        ASSERT_NE(std::string::npos, header) << world.output;
        EXPECT_EQ(c.warnings, world.output.substr(echoEnd, header - echoEnd))
            << c.argv[0] << " " << c.argv[1] << " " << c.argv[2] << " " << c.argv[4];
    }
}

// A marker counts where an argument begins, or after the value of a pause,
// a timeout or a flag; never in a path, the program's own included. What is
// read shows in the echo, with no warning under it, or as the error.
TEST(Driver, AMarkerCountsOnlyWhereAParameterBegins) {
    const auto echo = [](const char* name, int sleep, int timeout, bool exist) {
        return "    File to check:    " + std::string(name) +
               "\n    Seconds to sleep: " + std::to_string(sleep) +
               "\n    Timeout minutes:  " + std::to_string(timeout) +
               "\n    File condition:   Wait for file to " + (exist ? "exist" : "be deleted") +
               "\n\n";
    };
    const struct {
        std::vector<const char*> argv;
        std::string reads;
    } cases[] = {
        {{"hb", "\\s5", "\\t10", "\\eT", "\\fC:\\temp\\a.txt"},
         echo("C:\\temp\\a.txt", 5, 10, true)},
        {{"hb", "\\s1", "\\t1", "\\eT", "\\fC:\\jobs\\t0"}, echo("C:\\jobs\\t0", 1, 1, true)},
        {{"hb", "\\fC:\\etc\\lock", "\\s5", "\\t10", "\\eF"}, echo("C:\\etc\\lock", 5, 10, false)},
        {{"hb", "\\FC:\\files\\x", "\\S1", "\\T1", "\\ET"}, echo("C:\\files\\x", 1, 1, true)},
        {{"C:\\Enterprise\\hollowbrook.exe", "\\fa", "\\s1", "\\t1", "\\eF"},
         echo("a", 1, 1, false)},
        {{"C:\\tools\\t7\\hollowbrook.exe", "\\fx", "\\s0", "\\eF", "junk"},
         "    ERROR - # timeout minutes was not found (input parameter = \"\\t\")\n"},
        {{"hb", "C:\\jobs\\files\\done.flg", "\\s1", "\\t1", "\\eF"},
         "    ERROR - File name not found (input parameter = \"\\f\")\n"},
        {{"hb", "\\fx", "\\s0", "\\eF\\t5", "junk"}, echo("x", 0, 5, false)},
        {{"hb", "\\fx", "\\s0\\eT", "\\t0", "junk"}, echo("x", 0, 0, true)},
        {{"hb", "\\fx", "\\s5\\t10", "\\eT", "junk"}, echo("x", 5, 10, true)},
        {{"hb", "\\fx", "\\s0\\t0\\eF", "a", "b"}, echo("x", 0, 0, false)},
        {{"hb", " \\fC:\\x", "\\s1", "\\t1", "\\eT"}, echo("C:\\x", 1, 1, true)},
        {{"hb", "\\fa", "\\s1\\t1", "\\s5\\t10\\fb", "\\eT"}, echo("b", 5, 10, true)},
        {{"\\ETools\\hb.exe", "\\fa", "\\s1", "\\t1", "\\eF"}, echo("a", 1, 1, false)},
    };
    for (const auto& c : cases) {
        sim::World& world = sim::Reset();
        // There, then gone: either wait ends by its second check.
        world.file = [checks = 0](std::uint64_t) mutable {
            return ++checks == 1 ? FileState::exists : FileState::absent;
        };
        RunTool(c.argv);
        const std::size_t header = world.output.find("[ Waiting for File");
        EXPECT_EQ(kWelcome + c.reads, world.output.substr(0, header)) << c.argv[1] << c.argv[2];
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
        EXPECT_EQ(0,
                  RunTool({"hb", (std::string("\\f") + c.name).c_str(), "\\s10", "\\t1", "\\eT"}));
        EXPECT_NE(std::string::npos, world.output.find("File Condition Met: File was found"));
        EXPECT_EQ(c.pattern ? world.probedPatterns : world.probedNames,
                  std::vector<std::string>{c.name});
        EXPECT_TRUE((c.pattern ? world.probedNames : world.probedPatterns).empty());
    }
}

}  // namespace
