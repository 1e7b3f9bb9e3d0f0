#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/readers.h"
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

// As many bytes as the name's buffer holds, its terminator aside.
const std::string kRoom(kFileNameCapacity - 1, 'x');

const ReaderCase kCases[] = {
    {"plain",
     {"\\fC:\\jobs\\done.flg", "\\s10", "\\t30", "\\eT"},
     true,
     "C:\\jobs\\done.flg",
     10,
     30,
     true},
    {"lower case before upper case", {"\\fa", "\\S2\\s4", "\\T3", "\\Et"}, true, "a", 4, 3, true},
    {"upper case alone",
     {"\\FC:\\Data\\x", "\\S2", "\\T3", "\\EF"},
     true,
     "C:\\Data\\x",
     2,
     3,
     false},
    {"one argument, two parameters", {"\\fa", "\\s5\\t10", "-", "\\eF"}, true, "a", 5, 10, false},
    {"blanks before a number",
     {"\\fC:\\x.txt", "\\s \t 7", "\\t", "\\e"},
     true,
     "C:\\x.txt",
     7,
     0,
     false},
    {"as many bytes as the buffer holds stay whole",
     {"\\f" + kRoom, "\\s", "\\t", "\\eT"},
     true,
     kRoom,
     0,
     0,
     true},
    {"one more is cut",
     {"\\f" + kRoom + "yz", "\\s", "\\t", "\\eT"},
     true,
     kRoom,
     0,
     0,
     true,
     true},
    {"a cut keeps whole characters",
     {"\\f" + kRoom.substr(1) + "\xc5\x82", "\\s", "\\t", "\\eT"},
     true,
     kRoom.substr(1),
     0,
     0,
     true,
     true},
    {"cut falls on blanks, which go",
     {"\\f" + kRoom.substr(2) + "   y", "\\s", "\\t", "\\eT"},
     true,
     kRoom.substr(2),
     0,
     0,
     true,
     true},
    {"trailing blanks past the buffer are no cut",
     {"\\f" + kRoom + " \t ", "\\s", "\\t", "\\eT"},
     true,
     kRoom,
     0,
     0,
     true},
    {"numbers saturate",
     {"\\f", "\\s99999999999", "\\t-99999999999", "\\eT"},
     true,
     "",
     2147483647,
     2147483648u,
     true},
    {"timeout -1 is the largest unsigned",
     {"\\f", "\\s-5", "\\t-1", "\\eT"},
     true,
     "",
     -5,
     4294967295u,
     true},
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

}  // namespace
