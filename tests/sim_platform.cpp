#include "tests/sim_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "frontend/driver.h"
#include "wait/stall_guard.h"
#include "wait/wait_loop.h"

namespace sim {
namespace {

World world;

// No simulated wait in these tests runs for more than a few days.
constexpr int kMaxPauses = 1000000;

}  // namespace

World& Reset() {
    world = World{};
    return world;
}

std::function<FileState(std::uint64_t)> AppearsAt(std::uint64_t second) {
    return [second](std::uint64_t nowMs) {
        return nowMs >= second * 1000 ? FileState::exists : FileState::absent;
    };
}

RunSettings Settings(std::int32_t sleepSeconds, std::uint32_t timeoutMinutes, bool shouldExist) {
    RunSettings settings{};
    std::strcpy(settings.fileName, "C:\\jobs\\done.flg");
    settings.sleepSeconds = sleepSeconds;
    settings.timeoutMinutes = timeoutMinutes;
    settings.fileShouldExist = shouldExist;
    return settings;
}

void Wait(const RunSettings& settings) {
    StartStallGuard(settings, 0);
    PollFileCondition(settings);
}

int RunTool(std::vector<const char*> argv) {
    return HollowbrookMain(static_cast<int>(argv.size()), argv.data());
}

}  // namespace sim

ClockSeconds ReadClock() {
    return static_cast<ClockSeconds>(sim::world.nowMs / 1000);
}

void PauseMilliseconds(std::uint32_t milliseconds) {
    if (++sim::world.pauses > sim::kMaxPauses) {
        std::fprintf(stderr, "simulated wait never ended\n");
        std::abort();
    }
    if (!sim::world.flushed) {
        ++sim::world.pausesWithTextPending;
    }
    sim::world.calls.push_back("pause " + std::to_string(milliseconds));
    sim::world.nowMs += milliseconds;
}

void SleepOnClock(std::uint32_t milliseconds) {
    sim::world.calls.push_back("sleep " + std::to_string(milliseconds));
    sim::world.nowMs += milliseconds;
}

namespace {

FileState WithError(FileState state, std::uint32_t* systemError) {
    *systemError = state == FileState::unknown ? sim::world.unknownError : 0;
    return state;
}

FileState Answer(std::uint32_t* systemError) {
    return WithError(sim::world.file ? sim::world.file(sim::world.nowMs) : FileState::absent,
                     systemError);
}

}  // namespace

FileState ProbeFile(const char* fileName, FileSystemId* fileSystem, std::uint32_t* systemError) {
    sim::world.probedNames.emplace_back(fileName);
    sim::world.calls.emplace_back("look");
    const FileState state = Answer(systemError);
    *fileSystem = state == FileState::exists ? sim::world.fileSystem : 0;
    return state;
}

FileState ReadFileSystemId(const char* /*name*/, FileSystemId* fileSystem,
                           std::uint32_t* systemError) {
    *systemError = 0;
    *fileSystem =
        sim::world.folderFileSystem != 0 ? sim::world.folderFileSystem : sim::world.fileSystem;
    return FileState::exists;
}

FileState ProbePattern(const char* pattern, FolderScan* scan, std::uint32_t* systemError) {
    sim::world.probedPatterns.emplace_back(pattern);
    sim::world.calls.emplace_back("scan");
    std::vector<FileState>& scans = sim::world.scans;
    FileState state = FileState::absent;
    if (scans.empty()) {
        state = Answer(systemError);
    } else {
        state = WithError(scans.front(), systemError);
        scans.erase(scans.begin());
    }
    *scan = FolderScan{};
    if (state == FileState::exists) {
        CopyEntryName(sim::world.match.c_str(), scan->match, sizeof scan->match);
        scan->fileSystem = sim::world.fileSystem;
    }
    scan->wholeInOneRead = state == FileState::absent && sim::world.wholeReads;
    return state;
}

FolderTraits ReadFolderTraits(const char* /*name*/) {
    return FolderTraits{sim::world.snapshots, sim::world.cached};
}

void AskServerForFolder(const char* /*name*/) {
    sim::world.calls.emplace_back("ask");
}

FileState ReadFolderTime(const char* /*pattern*/, FolderTime* folderTime,
                         std::uint32_t* systemError) {
    sim::world.calls.emplace_back("time");
    std::vector<sim::FolderReading>& times = sim::world.folderTimes;
    const sim::FolderReading reading =
        times.empty() ? sim::FolderReading{FileState::exists, FolderTime{1, 500000000}}
                      : times.front();
    if (times.size() > 1) {
        times.erase(times.begin());
    }
    *folderTime = reading.state == FileState::exists ? reading.time : FolderTime{};
    return WithError(reading.state, systemError);
}

NameSyntax SystemNameSyntax() {
    return sim::world.syntax;
}

std::size_t SystemNameCut(const char* name, std::size_t longest) {
    return CutAfterCharacters(name, longest, CharacterCount::characters);
}

void PrepareProcess() {}

void WriteOutput(const char* text, std::size_t length) {
    if (sim::world.duringWrite) {
        // Once: whatever the hook writes itself goes straight through.
        const std::function<void()> hook = std::move(sim::world.duringWrite);
        sim::world.duringWrite = nullptr;
        hook();
    }
    sim::world.output.append(text, length);
    sim::world.flushed = false;
}

void FlushOutput() {
    sim::world.flushed = true;
}

bool StartThread(void (*routine)()) {
    sim::world.thread = routine;
    return true;
}

void EndProcessNow() {
    ++sim::world.processEnds;
}
