#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace {

// Set when standard output is a console. The run-time would write bytes that
// the console shows in its OEM code page; as UTF-16 a name shows as typed.
HANDLE console = nullptr;

// One text of the tool at most, which is never more UTF-16 units than bytes.
constexpr int kWideCapacity = 2048;
wchar_t wideText[kWideCapacity];

// False when the text cannot be converted; it then goes out as bytes.
bool WriteToConsole(const char* text, std::size_t length) {
    if (length == 0 || length > kWideCapacity) {
        return false;
    }
    const int wideLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text,
                                               static_cast<int>(length), wideText, kWideCapacity);
    if (wideLength == 0) {
        return false;
    }
    DWORD written = 0;
    WriteConsoleW(console, wideText, static_cast<DWORD>(wideLength), &written, nullptr);
    return true;
}

// 64 KiB for the guard: it prints a few texts and nothing more.
constexpr SIZE_T kThreadStackBytes = 65536;

void (*threadRoutine)() = nullptr;

DWORD WINAPI RunThreadRoutine(LPVOID /*unused*/) {
    threadRoutine();
    return 0;
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

FileState ProbeFile(const char* fileName) {
    if (fileName[0] == '\0') {
        return FileState::absent;
    }
    if (GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES) {
        return FileState::exists;
    }
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return FileState::absent;
        default:
            return FileState::unknown;
    }
}

// Output that cannot be written is dropped, never fatal: the results of the
// stream calls below are of no use to the tool.
void PrepareConsole() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode)) {
        console = output;
        static_cast<void>(setvbuf(stdout, nullptr, _IONBF, 0));
    } else {
        static_cast<void>(setvbuf(stdout, nullptr, _IOFBF, BUFSIZ));
    }
}

void ConsoleWrite(const char* text, std::size_t length) {
    if (console != nullptr && WriteToConsole(text, length)) {
        return;
    }
    static_cast<void>(fwrite(text, 1, length, stdout));
}

void ConsoleFlush() {
    static_cast<void>(fflush(stdout));
}

bool StartThread(void (*routine)()) {
    threadRoutine = routine;
    HANDLE thread = CreateThread(nullptr, kThreadStackBytes, RunThreadRoutine, nullptr,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        return false;
    }
    CloseHandle(thread);
    return true;
}

void SleepUntil(ClockSeconds deadline) {
    // Sleep does not count a suspend; the tick count does, so look again.
    const ULONGLONG until = static_cast<ULONGLONG>(deadline) * 1000u;
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        const ULONGLONG remaining = until - now;
        Sleep(remaining < INFINITE ? static_cast<DWORD>(remaining) : INFINITE - 1);
    }
}

// TerminateProcess, not ExitProcess: the run-time's exit handlers must not run
// while another thread may be inside the file system.
void EndProcessNow() {
    TerminateProcess(GetCurrentProcess(), 0);
}
