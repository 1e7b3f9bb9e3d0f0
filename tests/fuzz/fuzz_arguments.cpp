// Any argument vector is safe: the bytes are split at NUL into arguments of
// any count, length and content, and run through the front end up to where
// the wait would start, on the simulated platform.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frontend/driver.h"
#include "frontend/readers.h"
#include "tests/sim_platform.h"

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void CheckFileNameReader(int count, const char* const* argv) {
    char fileName[kFileNameCapacity];
    std::memset(fileName, 'x', sizeof fileName);
    bool cut = true;
    if (!ReadFileNameParam(count, argv, fileName, kFileNameCapacity, &cut)) {
        Require(fileName[0] == '\0' && !cut, "a missing file name leaves the buffer cleared");
        return;
    }
    const std::size_t length = std::strlen(fileName);
    Require(length == 0 || (fileName[length - 1] != ' ' && fileName[length - 1] != '\t'),
            "no trailing blank");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t index = 0; index < size; ++index) {
        if (data[index] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[index]);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);

    sim::World& world = sim::Reset();
    RunSettings settings{};
    const bool waitWouldStart = CheckUserInput(argc, argv.data(), 0, &settings);
    Require(world.pauses == 0 && world.probedNames.empty(), "no waiting before the wait");
    Require(!waitWouldStart || world.output.find("    File to check:    ") != std::string::npos,
            "a run that waits has echoed its settings");
    CheckFileNameReader(argc, argv.data());
    return 0;
}
