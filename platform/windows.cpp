#include <windows.h>

#include <io.h>

#include <cstdio>

#include "platform/platform.h"

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

void PrepareConsole() {
    if (_isatty(_fileno(stdout))) {
        setvbuf(stdout, nullptr, _IONBF, 0);
    } else {
        setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    }
}

void ConsoleWrite(const char* text, std::size_t length) {
    fwrite(text, 1, length, stdout);
}

void ConsoleFlush() {
    fflush(stdout);
}
