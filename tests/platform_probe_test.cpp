// The real platform's existence probe against real file-system objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"

#if defined(_WIN32)
#include <direct.h>
#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

struct ProbeCase {
    std::string name;
    FileState expected;
};

void ExpectProbes(const ProbeCase* cases, std::size_t count) {
    for (std::size_t index = 0; index < count; ++index) {
        EXPECT_EQ(static_cast<int>(cases[index].expected),
                  static_cast<int>(ProbeFile(cases[index].name.c_str())))
            << "probing \"" << cases[index].name << "\"";
    }
}

#if defined(_WIN32)

TEST(PlatformProbe, AnswersFromTheAttributeQuery) {
    const std::string dir = "C:\\hb-probe-" + std::to_string(_getpid());
    ASSERT_EQ(0, _mkdir(dir.c_str()));
    const std::string file = dir + "\\x.txt";
    std::fclose(std::fopen(file.c_str(), "w"));
    const ProbeCase cases[] = {
        {file, FileState::exists},
        {dir, FileState::exists},
        {dir + "\\missing.txt", FileState::absent},
        {dir + "\\no-such-dir\\x.txt", FileState::absent},
        {"", FileState::absent},
        {dir + "\\bad<name>", FileState::absent},
    };
    ExpectProbes(cases, sizeof cases / sizeof cases[0]);
    std::remove(file.c_str());
    _rmdir(dir.c_str());
}

#else

TEST(PlatformProbe, AnswersFromLstat) {
    char pattern[] = "/tmp/hb-probe-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string file = dir + "/x.txt";
    std::fclose(std::fopen(file.c_str(), "w"));
    ASSERT_EQ(0, symlink((dir + "/nowhere").c_str(), (dir + "/dangling").c_str()));
    ASSERT_EQ(0, symlink((dir + "/loop").c_str(), (dir + "/loop").c_str()));
    const ProbeCase cases[] = {
        {file, FileState::exists},
        {dir, FileState::exists},
        {dir + "/dangling", FileState::exists},
        {dir + "/missing.txt", FileState::absent},
        {dir + "/no-such-dir/x.txt", FileState::absent},
        {file + "/x.txt", FileState::absent},  // a component that is no directory
        {dir + "/" + std::string(5000, 'n'), FileState::absent},
        {"", FileState::absent},
        {dir + "/loop/x.txt", FileState::unknown},  // too many links: nothing known
    };
    ExpectProbes(cases, sizeof cases / sizeof cases[0]);
    std::system(("rm -rf " + dir).c_str());
}

#endif

}  // namespace
