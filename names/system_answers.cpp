#include "names/system_answers.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace {

constexpr std::uint64_t kFileTimeStepsPerSecond = 10000000;
constexpr std::uint32_t kNanosecondsPerFileTimeStep = 100;

#define SNAPSHOT_FILE_SYSTEM(type) type,
constexpr std::uint32_t kSnapshotFileSystems[] = {
#include "names/snapshot_file_systems.inc"
};
#undef SNAPSHOT_FILE_SYSTEM

}  // namespace

bool PosixErrorMeansAbsent(int error) {
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
}

bool WindowsErrorMeansNotFound(std::uint32_t error) {
    return error == windows_error::kFileNotFound || error == windows_error::kPathNotFound;
}

bool WindowsErrorMeansNoMatch(std::uint32_t error) {
    return error == windows_error::kNoMoreFiles;
}

bool WindowsErrorMayMeanAFileAsFolder(std::uint32_t error) {
    return error == windows_error::kInvalidName || error == windows_error::kDirectory;
}

bool LinuxFolderReadIsSnapshot(std::uint32_t fileSystemType) {
    return std::any_of(std::begin(kSnapshotFileSystems), std::end(kSnapshotFileSystems),
                       [fileSystemType](std::uint32_t type) { return type == fileSystemType; });
}

bool LinuxFolderAnswersFromCache(std::uint32_t fileSystemType) {
    constexpr std::uint32_t kNfs = 0x6969;  // NFS_SUPER_MAGIC, v2 to v4
    return fileSystemType == kNfs;
}

void SplitFileTime(std::uint32_t high, std::uint32_t low, std::int64_t* seconds,
                   std::uint32_t* nanoseconds) {
    const std::uint64_t steps = (std::uint64_t{high} << 32) | low;
    *seconds = static_cast<std::int64_t>(steps / kFileTimeStepsPerSecond);
    *nanoseconds =
        static_cast<std::uint32_t>(steps % kFileTimeStepsPerSecond) * kNanosecondsPerFileTimeStep;
}
