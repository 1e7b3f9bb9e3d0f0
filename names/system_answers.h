// What the systems' answers mean for the watched name: which failures say
// that it is absent, which that nothing is known, which that a folder holds
// no match, and how a Windows file time becomes a folder time. Pure
// functions of the numbers the systems give, so that every platform's
// decisions are tested on Linux; the platform files only make the calls.
#pragma once

#include <cstdint>

// The Windows error numbers the tool reads, as winerror.h numbers them.
namespace windows_error {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kNoMoreFiles = 18;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kDirectory = 267;  // "the directory name is invalid"
}  // namespace windows_error

// A POSIX errno that says the name does not exist: no such entry, a part of
// the path that is no folder, a name too long to exist. Any other says
// nothing about the file.
bool PosixErrorMeansAbsent(int error);

// A Windows error that says the name does not exist, on a drive that is
// there: a drive this logon lacks answers the same and must be asked apart.
bool WindowsErrorMeansNotFound(std::uint32_t error);

// The error that ended a folder search without a match: the folder has no
// more entries. Under rename churn a search can also begin with it (seen
// under Wine): the folder had none that matched.
bool WindowsErrorMeansNoMatch(std::uint32_t error);

// An error with which a search below a file begins (Wine: an invalid name;
// Windows: an invalid folder name): where the folder part is a file, there
// is nothing to match, as "if exist" says.
bool WindowsErrorMayMeanAFileAsFolder(std::uint32_t error);

// A Linux file system type (statfs's f_type) listed in
// snapshot_file_systems.inc: ext2/3/4, XFS, Btrfs, F2FS, tmpfs. Not NFS, SMB,
// FUSE, 9p, Ceph or overlayfs, whose folders change without the folder's
// lock.
bool LinuxFolderReadIsSnapshot(std::uint32_t fileSystemType);

// A Linux file system type whose client answers from a cache of a folder's
// entries and attributes, which may be up to a minute old: NFS.
bool LinuxFolderAnswersFromCache(std::uint32_t fileSystemType);

// A Windows file time, 100 ns steps since 1601, as whole seconds and the
// nanoseconds below them; FAT's 2 s steps come as whole seconds.
void SplitFileTime(std::uint32_t high, std::uint32_t low, std::int64_t* seconds,
                   std::uint32_t* nanoseconds);
