#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/readers.h"
#include "tests/sim_platform.h"
#include "wait/run_settings.h"

namespace {

struct ReaderCase {
    const char* what;
    std::vector<std::string> argv;  // after the program path
    bool fileFound;
    std::string fileName;
    std::int32_t sleepSeconds;
    std::uint32_t timeoutMinutes;
    bool fileShouldExist;
    bool fileNameCut = false;
};

// The longest name the tool watches.
const std::string k259(kLongestFileName, 'x');
const std::string k257(kLongestFileName - 2, 'x');

// A marker counts where an argument begins, blanks before it allowed, or
// after the value of a pause, a timeout or a flag; never in a path.
const ReaderCase kCases[] = {
    {"lower case first", {"\\fa", "\\S2\\s4", "\\T3", "\\Et"}, true, "a", 4, 3, true},
    {"upper case", {"\\FC:\\files\\x", "\\S2", "\\T3", "\\ET"}, true, "C:\\files\\x", 2, 3, true},
    {"path \\t", {"\\s5", "\\t10", "\\eT", "\\fC:\\temp\\a"}, true, "C:\\temp\\a", 5, 10, true},
    {"path \\e", {"\\fC:\\etc\\x", "\\s5", "\\t10", "\\eF"}, true, "C:\\etc\\x", 5, 10, false},
    {"inside", {"C:\\jobs\\files\\x", "\\s1", "\\t1", "\\eF"}, false, "", 1, 1, false},
    {"after a flag", {"\\fx", "\\s0", "\\eF\\t5", "-"}, true, "x", 0, 5, false},
    {"a flag after a pause", {"\\fx", "\\s0\\eT", "\\t0", "-"}, true, "x", 0, 0, true},
    {"three in one", {"\\fx", "\\s0\\t0\\eF", "a", "b"}, true, "x", 0, 0, false},
    {"blanks before", {" \\fC:\\x", "\\s1", "\\t1", "\\eT"}, true, "C:\\x", 1, 1, true},
    {"the last wins", {"\\fa", "\\s1\\t1", "\\s5\\t10\\fb", "\\eT"}, true, "b", 5, 10, true},
    {"two in one", {"\\fa", "\\s5\\t10", "-", "\\eF"}, true, "a", 5, 10, false},
    {"blank number", {"\\fx", "\\s \t 7", "\\t", "\\e"}, true, "x", 7, 0, false},
    {"cut on blanks", {"\\f" + k257 + "   y", "\\s", "\\t", "\\eT"}, true, k257, 0, 0, true, true},
    {"end blanks no cut", {"\\f" + k259 + " \t ", "\\s", "\\t", "\\eT"}, true, k259, 0, 0, true},
    {"saturate",
     {"\\f", "\\s9999999999", "\\t-9999999999", "\\eT"},
     true,
     "",
     2147483647,
     2147483648u,
     true},
    {"-1", {"\\f", "\\s-5", "\\t-1", "\\eT"}, true, "", -5, 4294967295u, true},
    {"atol rules", {"\\f", "\\s+12abc", "\\t\n 8", "\\eno"}, true, "", 12, 8, false},
    {"later flag does not clear", {"\\eT", "\\eF", "\\f", "\\s\\t"}, true, "", 0, 0, true},
    {"no markers", {"a", "b", "c", "d"}, false, "", 0, 0, false},
};

TEST(Readers, FindEveryParameterByItsMarker) {
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.what);
        std::vector<const char*> argv;
        for (const std::string& argument : c.argv) {
            argv.push_back(argument.c_str());
        }
        const int count = static_cast<int>(argv.size());
        RunSettings settings;
        settings.fileName[0] = '?';
        settings.sleepSeconds = 77;
        settings.timeoutMinutes = 77;
        settings.fileShouldExist = true;

        settings.fileNameCut = !c.fileNameCut;
        EXPECT_EQ(c.fileFound, ReadFileNameParam(count, argv.data(), settings.fileName,
                                                 kFileNameCapacity, &settings.fileNameCut));
        ReadSleepSecondsParam(count, argv.data(), &settings.sleepSeconds,
                              &settings.sleepSecondsNotWhole);
        ReadTimeoutMinutesParam(count, argv.data(), &settings.timeoutMinutes,
                                &settings.timeoutMinutesNotWhole);
        ReadFileShouldExistParam(count, argv.data(), &settings.fileShouldExist,
                                 &settings.flagWordUnclear);

        EXPECT_EQ(c.fileName, settings.fileName);
        EXPECT_EQ(c.sleepSeconds, settings.sleepSeconds);
        EXPECT_EQ(c.timeoutMinutes, settings.timeoutMinutes);
        EXPECT_EQ(c.fileShouldExist, settings.fileShouldExist);
        EXPECT_EQ(c.fileNameCut, settings.fileNameCut);
    }
}

// Values that may not say what the caller meant read as they read, and one
// line each under the echo says so, in this order: the name, the pause, the
// timeout, the flag.
TEST(Readers, ValuesThatMayBeMisreadAreNamed) {
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
        {{"hb", "\\fa", "\\s-5x", "\\t2h", "\\eF"}, pause + "-5.\n" + timeout + "2.\n"},
        {{"hb", "\\fa", "\\s1e3", "\\t -1 ", "\\eF"}, pause + "1.\n"},
        {{"hb", "\\fa", "\\s1", "\\t-1x", "\\eF"}, timeout + "-1.\n"},
        {{"hb", "\\fa", "\\s5\r", "\\t1", "\\eF"}, pause + "5.\n"},
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
        sim::RunTool(c.argv);
        const std::size_t echoEnd = world.output.find("\n\n") + 2;
        const std::size_t header = world.output.find("[ Waiting for File");
        ASSERT_NE(std::string::npos, header) << world.output;
        EXPECT_EQ(c.warnings, world.output.substr(echoEnd, header - echoEnd))
            << c.argv[0] << " " << c.argv[1] << " " << c.argv[2] << " " << c.argv[4];
    }
}

}  // namespace
