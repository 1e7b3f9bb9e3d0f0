#include "names/system_answers.h"

#include <cerrno>

namespace {

constexpr std::uint64_t kFileTimeStepsPerSecond = 10000000;
constexpr std::uint32_t kNanosecondsPerFileTimeStep = 100;

// As linux/magic.h names them.
constexpr std::uint32_t kExt4SuperMagic = 0xEF53;  // ext2 and ext3 alike
constexpr std::uint32_t kXfsSuperMagic = 0x58465342;
constexpr std::uint32_t kBtrfsSuperMagic = 0x9123683E;
constexpr std::uint32_t kF2fsSuperMagic = 0xF2F52010;
constexpr std::uint32_t kTmpfsMagic = 0x01021994;

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
    return fileSystemType == kExt4SuperMagic || fileSystemType == kXfsSuperMagic ||
           fileSystemType == kBtrfsSuperMagic || fileSystemType == kF2fsSuperMagic ||
           fileSystemType == kTmpfsMagic;
}

void SplitFileTime(std::uint32_t high, std::uint32_t low, std::int64_t* seconds,
                   std::uint32_t* nanoseconds) {
    const std::uint64_t steps = (std::uint64_t{high} << 32) | low;
    *seconds = static_cast<std::int64_t>(steps / kFileTimeStepsPerSecond);
    *nanoseconds =
        static_cast<std::uint32_t>(steps % kFileTimeStepsPerSecond) * kNanosecondsPerFileTimeStep;
}
