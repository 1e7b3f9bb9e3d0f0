// The built binary, run as a real process against real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <direct.h>
#include <process.h>
#include <windows.h>
#else
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <util.h>
#elif defined(__FreeBSD__)
#include <libutil.h>
#else
#include <pty.h>
#endif
#endif

#if !defined(HOLLOWBROOK_EMULATOR)
#define HOLLOWBROOK_EMULATOR ""
#endif

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void Touch(const std::string& path) {
    std::fclose(std::fopen(path.c_str(), "w"));
}

#if defined(_WIN32)

const char kSlash[] = "\\";

// Under Wine the build path is a Unix one, seen by Windows programs on drive Z.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

// The program path and the folders are scanned for markers too, so they hold
// none: a folder at the root of C: and a copy of the tool inside it.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        static int serial = 0;
        path = "C:\\hb-" + std::to_string(_getpid()) + "-" + std::to_string(++serial);
        _mkdir(path.c_str());
    }
    ~ScratchDir() { std::system(("rmdir /s /q " + path).c_str()); }
};

// Long names outside the code page are the names test's, under cmd.exe.
std::string DeepFolder(const std::string& path) {
    return path;
}

const std::string& ToolPath() {
    static const ScratchDir home;
    static const std::string tool = home.path + "\\hollowbrook.exe";
    static const bool copied =
        CopyFileA(WindowsPath(HOLLOWBROOK_BINARY).c_str(), tool.c_str(), FALSE) != 0;
    EXPECT_TRUE(copied);
    return tool;
}

std::string Quote(const std::string& argument) {
    return "\"" + argument + "\"";
}

std::string ToolCommand(const std::vector<std::string>& arguments) {
    std::string command = Quote(ToolPath());
    for (const std::string& argument : arguments) {
        command += " " + Quote(argument);
    }
    return command;
}

FILE* OpenCommand(const std::string& command) {
    // cmd /c drops the outermost quotes.
    return _popen(("\"" + command + "\"").c_str(), "rb");
}

int ExitStatus(FILE* pipe) {
    return _pclose(pipe);
}

#else

const char kSlash[] = "/";

std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

struct ScratchDir {
    std::string path;
    ScratchDir() {
        char pattern[] = "/tmp/hollowbrook-e2e-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~ScratchDir() { std::system(("rm -rf " + Quote(path)).c_str()); }
};

// Two folders down, each named with 100 of the two-byte letter ł: a name in
// it has some 230 characters in more than 430 bytes.
std::string DeepFolder(const std::string& path) {
    std::string folder = path;
    for (int level = 0; level < 2; ++level) {
        folder += "/";
        for (int letter = 0; letter < 100; ++letter) {
            folder += "\xc5\x82";
        }
        mkdir(folder.c_str(), 0700);
    }
    return folder;
}

// A shell command that runs the tool, through the emulator of a cross build.
std::string ToolCommand(const std::vector<std::string>& arguments) {
    std::string command = HOLLOWBROOK_EMULATOR " " + Quote(HOLLOWBROOK_BINARY);
    for (const std::string& argument : arguments) {
        command += " " + Quote(argument);
    }
    return command;
}

FILE* OpenCommand(const std::string& command) {
    return popen(command.c_str(), "r");
}

int ExitStatus(FILE* pipe) {
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

// Output goes to the pipe it returns, or to the log file when one is named.
FILE* StartTool(const std::vector<std::string>& arguments, const std::string& log = "") {
    std::string command = ToolCommand(arguments);
    if (!log.empty()) {
        command += " > " + Quote(log);
    }
    return OpenCommand(command);
}

// How many times slower than natively the runner starts and runs the tool:
// CMake sets HOLLOWBROOK_SLOWDOWN for a build run under an emulator.
int Slowdown() {
    const char* value = std::getenv("HOLLOWBROOK_SLOWDOWN");
    const int slowdown = value == nullptr ? 1 : std::atoi(value);
    return slowdown > 0 ? slowdown : 1;
}

// The console texts end in CR LF on Windows; the checks compare LF texts.
std::string WithoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string ReadToEnd(FILE* pipe) {
    std::string text;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, n);
    }
    return text;
}

std::string ReadFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return "";
    }
    std::string text = ReadToEnd(file);
    std::fclose(file);
    return WithoutCarriageReturns(text);
}

// The file's condition cannot be met before the test changes the file, so
// text seen here was written while the tool waited, not at its exit.
bool LogShows(const std::string& log, const std::string& text) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(15);
    while (ReadFile(log).find(text) == std::string::npos) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(100));
    }
    return true;
}

// Output goes to a log file, which shows the settings and the header while the
// tool still waits, not only once it has ended.
TEST(EndToEnd, AnotherProcessCreatesOrDeletesTheWatchedFile) {
    for (bool shouldExist : {true, false}) {
        SCOPED_TRACE(shouldExist ? "appear" : "delete");
        ScratchDir dir;
        const std::string flag =
            (shouldExist ? DeepFolder(dir.path) : dir.path) + kSlash + "job.done";
        const std::string log = dir.path + kSlash + "wait.log";
        if (!shouldExist) {
            Touch(flag);
        }
        const Clock::time_point start = Clock::now();
        FILE* tool = StartTool({"\\f" + flag, "\\s1", "\\t1", shouldExist ? "\\eT" : "\\eF"}, log);
        ASSERT_NE(nullptr, tool);
        const std::string header = shouldExist ? "[ Waiting for File to Appear ]\n"
                                               : "[ Waiting for File to be Deleted ]\n";
        EXPECT_TRUE(LogShows(log, "\n\n" + header)) << "the log is empty while the tool waits";
        const Clock::time_point changed = Clock::now();
        if (shouldExist) {
            Touch(flag);
        } else {
            std::remove(flag.c_str());
        }
        ReadToEnd(tool);
        const Clock::time_point ended = Clock::now();
        EXPECT_EQ(0, ExitStatus(tool));
        const std::string output = ReadFile(log);
        EXPECT_NE(std::string::npos, output.find("    File to check:    " + flag + "\n"));
        EXPECT_NE(std::string::npos,
                  output.find(shouldExist ? "\n    File Condition Met: File was found\n"
                                          : "\n    File Condition Met: File no longer exists\n"));
        EXPECT_NE(std::string::npos, output.find("[ Time Elapsed ]\n    hr:mn:sc\n    --------\n"
                                                 "    00:00:0"));
        EXPECT_GE(ended - start, milliseconds(1000));
        // One pause of 1 s and a margin for the probe and the exit.
        EXPECT_LE(ended - changed, milliseconds(2000) * Slowdown());
    }
}

#if !defined(_WIN32)

// Reads what the terminal shows until `wanted` appears or the time is up.
bool ReadUntil(int terminal, const std::string& wanted, std::string& shown, int seconds) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    while (shown.find(wanted) == std::string::npos && Clock::now() < deadline) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    return shown.find(wanted) != std::string::npos;
}

TEST(EndToEnd, TerminalSeesEachDotWhileTheToolIsStillWaiting) {
    ScratchDir dir;
    const std::string flag = dir.path + "/ready";
    const std::string command = "exec " + ToolCommand({"\\f" + flag, "\\s1", "\\t0", "\\eT"});
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string shown;
    EXPECT_TRUE(ReadUntil(terminal, "    .", shown, 15)) << shown;
    int status = 0;
    EXPECT_EQ(0, waitpid(child, &status, WNOHANG)) << "the tool ended before its file existed";
    Touch(flag);
    EXPECT_TRUE(ReadUntil(terminal, "    00:00:", shown, 15)) << shown;
    EXPECT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(terminal);
}

#endif

}  // namespace
