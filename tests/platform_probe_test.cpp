// The real platform's existence probe against real file-system objects.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/platform.h"

#if defined(_WIN32)
#include <direct.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

struct ProbeCase {
    std::string name;
    FileState expected;
};

using Probe = FileState (*)(const char*, std::uint32_t*);

FileState Look(const char* name, std::uint32_t* systemError) {
    FileSystemId fileSystem = 0;
    return ProbeFile(name, &fileSystem, systemError);
}

FileState Scan(const char* pattern, std::uint32_t* systemError) {
    FolderScan scan{};
    return ProbePattern(pattern, &scan, systemError);
}

// An unknown answer carries the system's error number, every other one 0.
void ExpectProbes(Probe probe, const ProbeCase* cases, std::size_t count) {
    for (std::size_t index = 0; index < count; ++index) {
        std::uint32_t error = 12345;
        const FileState state = probe(cases[index].name.c_str(), &error);
        EXPECT_EQ(static_cast<int>(cases[index].expected), static_cast<int>(state))
            << "probing \"" << cases[index].name << "\"";
        EXPECT_EQ(state == FileState::unknown, error != 0) << cases[index].name << ": " << error;
    }
}

void Touch(const std::string& path) {
    std::fclose(std::fopen(path.c_str(), "w"));
}

// A folder's time stays while nothing in it changes and moves with a new
// entry; a missing folder is absent.
void ExpectFolderTimes(const std::string& dir) {
    const std::string pattern = dir + "/*.new";
    FolderTime before{};
    FolderTime again{};
    FolderTime after{};
    std::uint32_t error = 0;
    const auto same = [](FolderTime a, FolderTime b) {
        return a.seconds == b.seconds && a.nanoseconds == b.nanoseconds;
    };
    EXPECT_EQ(FileState::exists, ReadFolderTime(pattern.c_str(), &before, &error));
    EXPECT_EQ(FileState::exists, ReadFolderTime(pattern.c_str(), &again, &error));
    EXPECT_TRUE(same(before, again));
    // Past one tick of a clock that stamps times coarsely, as the wait loop
    // steps past it.
    const auto paused = std::chrono::steady_clock::now();
    PauseMilliseconds(20);
    EXPECT_GE(std::chrono::steady_clock::now() - paused, std::chrono::milliseconds(20));
    Touch(dir + "/a.new");
    EXPECT_EQ(FileState::exists, ReadFolderTime(pattern.c_str(), &after, &error));
    EXPECT_FALSE(same(before, after));
    EXPECT_EQ(FileState::absent, ReadFolderTime((dir + "/missing/*").c_str(), &after, &error));
}

#if defined(_WIN32)

TEST(PlatformProbe, AnswersFromTheAttributeQueryAndTheFolderSearch) {
    const std::string dir = "C:\\hb-probe-" + std::to_string(_getpid());
    ASSERT_EQ(0, _mkdir(dir.c_str()));
    ASSERT_EQ(0, _mkdir((dir + "\\empty").c_str()));
    Touch(dir + "\\x.txt");
    ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Q:\\")) << "Q: must not exist";
    const std::string relative = "hb-probe-" + std::to_string(_getpid()) + ".txt";
    const ProbeCase names[] = {
        {dir + "\\x.txt", FileState::exists},
        {relative, FileState::absent},
        {"\\\\hbserver\\share\\" + relative, FileState::absent},  // wine-run's share
        {"\\\\hbserver\\share", FileState::exists},
        {dir, FileState::exists},
        {dir + "\\missing.txt", FileState::absent},
        {dir + "\\no-such-dir\\x.txt", FileState::absent},
        {dir + "\\bad<name>", FileState::unknown},  // a name no file can have
        {"Q:\\lock.flg", FileState::unknown},       // a drive this session lacks
        {"Q:\\jobs\\lock.flg", FileState::unknown},
    };
    ExpectProbes(Look, names, sizeof names / sizeof names[0]);
    const ProbeCase patterns[] = {
        {dir + "\\*.txt", FileState::exists},
        {dir + "/?.t*", FileState::exists},
        {dir + "\\*.csv", FileState::absent},
        {dir + "\\empty\\*", FileState::absent},  // . and .. never match
        {dir + "\\no-such-dir\\*", FileState::absent},
        {dir + "\\x.txt\\*", FileState::absent},  // a folder part that is a file
        {"Q:\\*.flg", FileState::unknown},
    };
    ExpectProbes(Scan, patterns, sizeof patterns / sizeof patterns[0]);
    ExpectFolderTimes(dir);
    std::system(("rmdir /s /q " + dir).c_str());
}

// In the tool's UTF-8 code page, as UTF-16 counts: 259 letters stay whole, a
// character beyond U+FFFF counts two.
TEST(PlatformProbe, NamesAreCutAsTheSystemCountsThem) {
    ASSERT_EQ(static_cast<UINT>(CP_UTF8), GetACP()) << "the tool's manifest";
    EXPECT_EQ(259u, SystemNameCut(std::string(259, 'a').c_str(), 259));
    std::string smileys;
    for (int count = 0; count < 130; ++count) {
        smileys += "\xf0\x9f\x98\x80";
    }
    EXPECT_EQ(129u * 4, SystemNameCut(smileys.c_str(), 259));
}

#else

TEST(PlatformProbe, AnswersFromLstat) {
    char pattern[] = "/tmp/hb-probe-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string file = dir + "/x.txt";
    Touch(file);
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
    ExpectProbes(Look, cases, sizeof cases / sizeof cases[0]);
    std::system(("rm -rf " + dir).c_str());
    // A character beyond U+FFFF counts one, as every other.
    std::string smileys;
    for (int count = 0; count < 260; ++count) {
        smileys += "\xf0\x9f\x98\x80";
    }
    EXPECT_EQ(259u * 4, SystemNameCut(smileys.c_str(), 259));
}

// What only a real folder shows: its entries as the system reads them (the
// matching itself has a table test of its own), . and .. from the system, a
// folder of several reads, the match a scan names, whether the folder came
// whole from one read and where that is a snapshot, and the folder's time.
TEST(PlatformProbe, MatchesPatternsAgainstTheFolder) {
    char pattern[] = "/tmp/hb-pattern-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    for (const char* name : {"x.txt", "\xc5\x82.flg"}) {
        Touch(dir + "/" + name);
    }
    ASSERT_EQ(0, mkdir((dir + "/empty").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir + "/many").c_str(), 0755));
    // More entries than one read of the folder returns.
    for (int index = 0; index < 3000; ++index) {
        Touch(dir + "/many/entry-" + std::to_string(index));
    }
    Touch(dir + "/many/needle");
    ASSERT_EQ(0, symlink((dir + "/loop").c_str(), (dir + "/loop").c_str()));
    const ProbeCase cases[] = {
        {dir + "/*.txt", FileState::exists},       {dir + "/?.flg", FileState::exists},
        {dir + "/*.csv", FileState::absent},       {dir + "/empty/*", FileState::absent},
        {dir + "/many/*.none", FileState::absent}, {dir + "/many/ne?dle", FileState::exists},
        {dir + "/missing/*", FileState::absent},   {dir + "/x.txt/*", FileState::absent},
        {dir + "/loop/*", FileState::unknown},
    };
    ExpectProbes(Scan, cases, sizeof cases / sizeof cases[0]);
    std::uint32_t error = 0;
    FolderScan scan{};
    EXPECT_EQ(FileState::exists, ProbePattern((dir + "/*.txt").c_str(), &scan, &error));
    EXPECT_STREQ("x.txt", scan.match);
#if defined(HOLLOWBROOK_HAS_GETDENTS64)
    const bool readsWholeFolders = true;
#else
    const bool readsWholeFolders = false;
#endif
    EXPECT_EQ(FileState::absent, ProbePattern((dir + "/*.csv").c_str(), &scan, &error));
    EXPECT_EQ(readsWholeFolders, scan.wholeInOneRead);
    EXPECT_STREQ("", scan.match);
    EXPECT_EQ(FileState::absent, ProbePattern((dir + "/many/*.none").c_str(), &scan, &error));
    EXPECT_FALSE(scan.wholeInOneRead) << "3000 entries take more than one read";
#if defined(__linux__)
    EXPECT_TRUE(ReadFolderTraits("/dev/shm/*.lock").readIsSnapshot) << "tmpfs";
    EXPECT_FALSE(ReadFolderTraits("/proc/*.lock").readIsSnapshot);
#endif
    ExpectFolderTimes(dir);
    std::system(("rm -rf " + dir).c_str());
}

#endif

}  // namespace
