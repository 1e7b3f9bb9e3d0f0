// A simulated platform, linked in place of the real one: a clock that only a
// pause moves, a scripted watched file and captured console output. Names
// follow the Windows rules unless a test chooses the POSIX ones.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "wait/run_settings.h"

namespace sim {

// One answer of ReadFolderTime.
struct FolderReading {
    FileState state;
    FolderTime time;
};

struct World {
    std::uint64_t nowMs = 0;
    std::string output;
    // The watched file's state at a given simulated time; absent by default.
    std::function<FileState(std::uint64_t nowMs)> file;
    std::uint32_t unknownError = 5;  // the error number of an unknown answer
    NameSyntax syntax = NameSyntax::windows;
    // The pattern's scans and folder-time reads take these answers in order.
    // A scan past the last answers as `file` says; a time read repeats the
    // last answer, by default a time with a part below the second.
    std::vector<FileState> scans;
    std::vector<FolderReading> folderTimes;
    // A scan that finds a match names this entry; one that finds none read
    // the whole folder in one piece where wholeReads says so, which is a
    // snapshot where snapshots says so.
    std::string match = "match.csv";
    bool wholeReads = false;
    bool snapshots = false;
    // Where folders answer from a cache, the loop asks the server first.
    bool cached = false;
    // The file system that answers for the file where it exists (0: the
    // system says none), and for its folders (0: the same).
    FileSystemId fileSystem = 0;
    FileSystemId folderFileSystem = 0;
    // Each look at one name, scan, time read, question to the server, pause
    // and sleep on the clock, in order: "look", "scan", "time", "ask",
    // "pause 20", "sleep 60000".
    std::vector<std::string> calls;
    // Runs inside a write to standard output, before the text is taken.
    std::function<void()> duringWrite;
    std::vector<std::string> probedNames;
    std::vector<std::string> probedPatterns;
    int pauses = 0;
    bool flushed = true;  // false while written text waits for FlushOutput
    int pausesWithTextPending = 0;
    // A started thread is recorded, not run: a test runs it where it likes.
    void (*thread)() = nullptr;
    int processEnds = 0;
};

// Fresh world for each test: clock at 0, no output, no file.
World& Reset();

// A file that comes into existence at the given second and stays.
std::function<FileState(std::uint64_t)> AppearsAt(std::uint64_t second);

// The settings of a wait for C:\jobs\done.flg.
RunSettings Settings(std::int32_t sleepSeconds, std::uint32_t timeoutMinutes, bool shouldExist);

// A wait as the driver starts it: the guard, due from 0 s, then the loop.
void Wait(const RunSettings& settings);

// The whole tool on these arguments, the program's path first.
int RunTool(std::vector<const char*> argv);

}  // namespace sim
