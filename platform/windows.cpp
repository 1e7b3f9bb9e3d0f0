#include <windows.h>

#include <cstdio>
#include <cstring>

#include "names/system_answers.h"
#include "platform/platform.h"

static_assert(windows_error::kFileNotFound == ERROR_FILE_NOT_FOUND &&
                  windows_error::kPathNotFound == ERROR_PATH_NOT_FOUND &&
                  windows_error::kNoMoreFiles == ERROR_NO_MORE_FILES &&
                  windows_error::kInvalidName == ERROR_INVALID_NAME &&
                  windows_error::kDirectory == ERROR_DIRECTORY,
              "the error numbers that the names module reads are the system's");

namespace {

// Set when standard output is a console. The run-time would write bytes that
// the console shows in its OEM code page; as UTF-16 a name shows as typed.
HANDLE console = nullptr;

// One text of the tool at most, which is never more UTF-16 units than bytes.
wchar_t wideText[kLongestText];

// False when the text cannot be converted; it then goes out as bytes. A
// sequence that is not valid in the code page becomes U+FFFD, so a name cut
// inside a character still leaves the rest of its line readable.
bool WriteToConsole(const char* text, std::size_t length) {
    if (length == 0 || length > kLongestText) {
        return false;
    }
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wideText,
                                               static_cast<int>(kLongestText));
    if (wideLength == 0) {
        return false;
    }
    DWORD written = 0;
    WriteConsoleW(console, wideText, static_cast<DWORD>(wideLength), &written, nullptr);
    return true;
}

// Redirected output: room for all that a run prints before its first pause,
// which then reaches a log in one write (the run-time's own 512 bytes would
// write the settings of a long name before the pause).
char outputBuffer[kOutputBufferBytes];

// The guard prints a few texts and nothing more.
constexpr SIZE_T kThreadStackBytes = 65536;

DWORD WINAPI RunThreadRoutine(LPVOID routine) {
    reinterpret_cast<void (*)()>(routine)();
    return 0;
}

// A drive letter whose root does not exist: a mapped drive that this logon
// lacks, as under the task scheduler, in a service or at an elevated prompt.
bool OnMissingDrive(const char* name) {
    name = SkipLongPathPrefix(NameSyntax::windows, name);
    if (!HasDriveLetter(name)) {
        return false;
    }
    const char root[] = {name[0], ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR;
}

FileState AnswerFromError(const char* name, DWORD error, std::uint32_t* systemError) {
    if (WindowsErrorMeansNotFound(error) && !OnMissingDrive(name)) {
        return FileState::absent;
    }
    *systemError = error;
    return FileState::unknown;
}

bool FolderPartIsAFile(const char* pattern, DWORD error) {
    char folder[kFileNameCapacity];
    if (!WindowsErrorMayMeanAFileAsFolder(error) ||
        !CopyFolderPart(NameSyntax::windows, pattern, folder, sizeof folder)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

ClockSeconds ReadClock() {
    // The tick count goes on through sleep and hibernation and never follows
    // a change of the wall clock.
    return static_cast<ClockSeconds>(GetTickCount64() / 1000);
}

void PauseMilliseconds(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

// A timer due at a time of the system's clock, which goes on through a stop
// and a suspend; the relative wait bounds a change of that clock.
void SleepOnClock(std::uint32_t milliseconds) {
    HANDLE timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER due;
    due.LowPart = now.dwLowDateTime;
    due.HighPart = static_cast<LONG>(now.dwHighDateTime);
    due.QuadPart += static_cast<LONGLONG>(milliseconds) * 10000;
    if (timer == nullptr || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        Sleep(milliseconds);
    } else {
        static_cast<void>(WaitForSingleObject(timer, milliseconds));
    }
    if (timer != nullptr) {
        CloseHandle(timer);
    }
}

FileState ProbeFile(const char* fileName, FileSystemId* fileSystem, std::uint32_t* systemError) {
    *fileSystem = 0;
    *systemError = 0;
    if (GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES) {
        return FileState::exists;
    }
    return AnswerFromError(fileName, GetLastError(), systemError);
}

// The system matches, as cmd.exe's "if exist" does, with the same quirks.
// The basic information level and large fetches would need Windows 7.
FileState ProbePattern(const char* pattern, FolderScan* scan, std::uint32_t* systemError) {
    *systemError = 0;
    *scan = FolderScan{};
    WIN32_FIND_DATAA entry;
    HANDLE search =
        FindFirstFileExA(pattern, FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (WindowsErrorMeansNoMatch(error) || FolderPartIsAFile(pattern, error)) {
            return FileState::absent;
        }
        return AnswerFromError(pattern, error, systemError);
    }
    const WildcardPattern wanted{LastPart(NameSyntax::windows, pattern)};
    bool found = ListedEntryMatches(NameSyntax::windows, entry.cFileName, wanted);
    while (!found && FindNextFileA(search, &entry)) {
        found = ListedEntryMatches(NameSyntax::windows, entry.cFileName, wanted);
    }
    const DWORD error = found ? ERROR_SUCCESS : GetLastError();
    FindClose(search);
    if (found) {
        CopyEntryName(entry.cFileName, scan->match, sizeof scan->match);
        return FileState::exists;
    }
    if (WindowsErrorMeansNoMatch(error)) {
        return FileState::absent;
    }
    *systemError = error;
    return FileState::unknown;
}

FileState ReadFolderTime(const char* pattern, FolderTime* folderTime, std::uint32_t* systemError) {
    *systemError = 0;
    *folderTime = FolderTime{};
    char folder[kFileNameCapacity];
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!CopyFolderPart(NameSyntax::windows, pattern, folder, sizeof folder)) {
        return AnswerFromError(pattern, ERROR_FILENAME_EXCED_RANGE, systemError);
    }
    if (!GetFileAttributesExA(folder, GetFileExInfoStandard, &attributes)) {
        return AnswerFromError(folder, GetLastError(), systemError);
    }
    SplitFileTime(attributes.ftLastWriteTime.dwHighDateTime,
                  attributes.ftLastWriteTime.dwLowDateTime, &folderTime->seconds,
                  &folderTime->nanoseconds);
    return FileState::exists;
}

// A search is no snapshot of its folder, and a share's server changes
// folders on its own; the SMB client's caches live seconds, not a minute.
FolderTraits ReadFolderTraits(const char* /*name*/) {
    return FolderTraits{};
}

void AskServerForFolder(const char* /*name*/) {}

// No answer names a file system (a share that went away answers with an
// error of its own), so the wait never asks where a name now resolves.
FileState ReadFileSystemId(const char* /*name*/, FileSystemId* fileSystem,
                           std::uint32_t* systemError) {
    *fileSystem = 0;
    *systemError = 0;
    return FileState::unknown;
}

NameSyntax SystemNameSyntax() {
    return NameSyntax::windows;
}

// In a legacy code page each character, of one byte or of a lead byte and
// another, is one UTF-16 unit.
std::size_t SystemNameCut(const char* name, std::size_t longest) {
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) {
        return CutAfterCharacters(name, longest, CharacterCount::utf16Units);
    }
    std::size_t length = 0;
    for (std::size_t units = 0; units < longest && name[length] != '\0'; ++units) {
        const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(name[length])) != 0;
        length += lead && name[length + 1] != '\0' ? 2 : 1;
    }
    return length;
}

// Output that cannot be written is dropped, never fatal: the results of the
// stream calls below are of no use to the tool.
void PrepareProcess() {
    // A drive without a medium answers a probe with an error at once, instead
    // of a dialog that holds the probe until someone clicks it away.
    // What the caller set stays: a job runner's SEM_NOGPFAULTERRORBOX, say.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode)) {
        console = output;
        static_cast<void>(setvbuf(stdout, nullptr, _IONBF, 0));
    } else {
        static_cast<void>(setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer));
    }
}

void WriteOutput(const char* text, std::size_t length) {
    if (console != nullptr && WriteToConsole(text, length)) {
        return;
    }
    static_cast<void>(fwrite(text, 1, length, stdout));
}

void FlushOutput() {
    static_cast<void>(fflush(stdout));
}

bool StartThread(void (*routine)()) {
    HANDLE thread =
        CreateThread(nullptr, kThreadStackBytes, RunThreadRoutine,
                     reinterpret_cast<LPVOID>(routine), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        return false;
    }
    CloseHandle(thread);
    return true;
}

// TerminateProcess, not ExitProcess: the run-time's exit handlers must not run
// while another thread may be inside the file system.
void EndProcessNow() {
    TerminateProcess(GetCurrentProcess(), 0);
}
