// The matcher agrees with a plain recursive one on any bytes, and its steps
// stay within the product of the two lengths. The input's first NUL divides
// the pattern from the entry's name.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "names/name_rules.h"

namespace {

bool IsContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

// RFC 3629's table of well-formed sequences; anything else is one byte.
std::size_t ReferenceLength(const unsigned char* at) {
    const unsigned char lead = at[0];
    if (lead >= 0xC2 && lead <= 0xDF) {
        return IsContinuation(at[1]) ? 2 : 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return IsContinuation(at[1], low, high) && IsContinuation(at[2]) ? 3 : 1;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return IsContinuation(at[1], low, high) && IsContinuation(at[2]) && IsContinuation(at[3])
                   ? 4
                   : 1;
    }
    return 1;
}

bool ReferenceMatches(const unsigned char* pattern, const unsigned char* name) {
    if (*pattern == '\0') {
        return *name == '\0';
    }
    if (*pattern == '*') {
        return ReferenceMatches(pattern + 1, name) ||
               (*name != '\0' && ReferenceMatches(pattern, name + ReferenceLength(name)));
    }
    if (*name == '\0') {
        return false;
    }
    const std::size_t nameLength = ReferenceLength(name);
    if (*pattern == '?') {
        return ReferenceMatches(pattern + 1, name + nameLength);
    }
    const std::size_t patternLength = ReferenceLength(pattern);
    return patternLength == nameLength && std::memcmp(pattern, name, nameLength) == 0 &&
           ReferenceMatches(pattern + patternLength, name + nameLength);
}

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
    // The reference tries every split: keep it from taking exponential time.
    if (std::count(pattern.begin(), pattern.end(), '*') > 3) {
        return 0;
    }
    std::uint64_t steps = 0;
    const bool matches =
        EntryMatchesCountingSteps(name.c_str(), WildcardPattern{pattern.c_str()}, &steps);
    const bool expected = !IsSelfOrParent(name.c_str()) &&
                          ReferenceMatches(reinterpret_cast<const unsigned char*>(pattern.c_str()),
                                           reinterpret_cast<const unsigned char*>(name.c_str()));
    Require(matches == expected, "the matcher agrees with the reference");
    Require(steps <= (name.size() + 1) * (pattern.size() + 1),
            "steps within the product of the lengths");
    return 0;
}
