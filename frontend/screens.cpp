#include "frontend/screens.h"

#include "console/console_print.h"
#include "wait/wait_lines.h"

namespace {

const char kUsageBox[] =
    "+--------------------------------------------------------------------+\n"
    "| Name:     Hollowbrook.exe  (version 1.0)                           |\n"
    "|                                                                    |\n"
    "| Created:  May 2001                                                 |\n"
    "|                                                                    |\n"
    "| Author:   The Hollowbrook maintainers                              |\n"
    "| Role:     Keepers of the batch-job wait state                      |\n"
    "| Company:  The Hollowbrook project                                  |\n"
    "|                                                                    |\n"
    "| Input:    hollowbrook.exe \\f[file] \\s[sleep] \\t[timeout] \\e[T/F]   |\n"
    "|           \\f  The file the tool is checking for                    |\n"
    "|           \\s  How many seconds to sleep in between each check      |\n"
    "|           \\t  The maximum of time to run in minutes (0 = infinite) |\n"
    "|           \\e  T = \"Return from this tool when the file exists.\"    |\n"
    "|               F = \"Return when the file is deleted.\"               |\n"
    "|                                                                    |\n"
    "| Details:  This tools is used to create a file based wait state     |\n"
    "|           semaphore.  Since it is a command line tool it can be    |\n"
    "|           used by Win32 shell batch files.                         |\n"
    "|                                                                    |\n"
    "|           The tool will not return until the file, or timeout,     |\n"
    "|           condition is met.                                        |\n"
    "+--------------------------------------------------------------------+\n";

const char kWelcomeBox[] =
    "+------------------------------+\n"
    "| Welcome to \"Hollowbrook.exe\" |\n"
    "+------------------------------+\n";

}  // namespace

void PrintUsage() {
    ConsolePrint("%s", kUsageBox);
}

void PrintWelcome() {
    ConsolePrint("%s", kWelcomeBox);
}

void PrintQuotingHint() {
    ConsolePrint(
        "    In a POSIX shell, quote each argument: hollowbrook '\\f<file>' '\\s<seconds>' "
        "'\\t<minutes>' '\\e<T|F>'\n");
}

void PrintBackslashHint() {
    ConsolePrint(
        "    An argument lacks its marker's backslash: a POSIX shell drops one that is not "
        "quoted.\n");
}

void PrintSettings(const RunSettings& settings) {
    ConsolePrint("    File to check:    %s\n", settings.fileName);
    ConsolePrint("    Seconds to sleep: %d\n", static_cast<int>(settings.sleepSeconds));
    // Signed on purpose: a timeout typed as -1 is echoed as -1.
    ConsolePrint("    Timeout minutes:  %d\n", static_cast<int>(settings.timeoutMinutes));
    ConsolePrint("    File condition:   %s\n", FileConditionWords(settings.fileShouldExist));
    ConsolePrint("\n");
}
