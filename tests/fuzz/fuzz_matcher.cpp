// The matcher agrees with the reference on any bytes, and its steps stay
// within the product of the two lengths. The input's first NUL divides the
// pattern from the entry's name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "names/name_rules.h"
#include "tests/matcher_reference.h"

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t divide = input.find('\0');
    const std::string pattern = input.substr(0, divide);
    const std::string name = divide == std::string::npos ? "" : input.substr(divide + 1).c_str();
    std::uint64_t steps = 0;
    const bool matches =
        EntryMatchesCountingSteps(name.c_str(), WildcardPattern{pattern.c_str()}, &steps);
    Require(matches == reference::Matches(pattern, name), "the matcher agrees with the reference");
    Require(steps <= (name.size() + 1) * (pattern.size() + 1),
            "steps within the product of the lengths");
    return 0;
}
