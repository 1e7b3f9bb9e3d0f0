#include "frontend/readers.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsWhiteSpace(char c) {
    return IsBlank(c) || (c >= '\n' && c <= '\r');
}

// The value behind the marker with its leading blanks skipped, or nullptr.
// The upper-case marker counts only where the lower-case one is absent.
const char* FindValue(const char* argument, char letter) {
    if (argument == nullptr) {
        return nullptr;
    }
    const char lower[] = {'\\', letter, '\0'};
    const char upper[] = {'\\', static_cast<char>(letter - 'a' + 'A'), '\0'};
    const char* marker = std::strstr(argument, lower);
    if (marker == nullptr) {
        marker = std::strstr(argument, upper);
    }
    if (marker == nullptr) {
        return nullptr;
    }
    const char* value = marker + 2;
    while (IsBlank(*value)) {
        ++value;
    }
    return value;
}

// The value of the last argument that holds the marker, or nullptr.
const char* FindLastValue(int count, const char* const* argv, char letter) {
    const char* found = nullptr;
    for (int index = 0; index < count; ++index) {
        const char* value = FindValue(argv[index], letter);
        if (value != nullptr) {
            found = value;
        }
    }
    return found;
}

std::size_t LengthWithoutTrailingBlanks(const char* text, std::size_t length) {
    while (length > 0 && IsBlank(text[length - 1])) {
        --length;
    }
    return length;
}

// Returns whether the value had to be cut to fit.
bool CopyTrimmed(const char* value, char* fileName, int capacity) {
    const std::size_t room = static_cast<std::size_t>(capacity - 1);
    std::size_t length = LengthWithoutTrailingBlanks(value, std::strlen(value));
    const bool cut = length > room;
    if (cut) {
        length = LengthWithoutTrailingBlanks(value, room);
    }
    std::memcpy(fileName, value, length);
    fileName[length] = '\0';
    return cut;
}

// Decimal conversion by the rules of atol, saturated to the signed 32-bit
// range so that an overlong number means the same on every platform.
std::int32_t ConvertDecimal(const char* text) {
    constexpr std::int64_t kLimit = 2147483648;  // magnitude of the lowest value
    while (IsWhiteSpace(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    std::int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kLimit) {
            magnitude = kLimit;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(magnitude < kLimit ? magnitude : kLimit - 1);
}

// The value as a caller means a number: an optional sign, one or more
// digits, and nothing after them but blanks (those before are skipped).
bool IsWholeNumber(const char* value) {
    if (*value == '+' || *value == '-') {
        ++value;
    }
    const char* digits = value;
    while (*value >= '0' && *value <= '9') {
        ++value;
    }
    if (value == digits) {
        return false;
    }
    while (IsBlank(*value)) {
        ++value;
    }
    return *value == '\0';
}

}  // namespace

bool ReadFileNameParam(int count, const char* const* argv, char* fileName, int capacity,
                       bool* fileNameCut) {
    *fileNameCut = false;
    if (capacity <= 0) {
        return false;
    }
    fileName[0] = '\0';
    const char* value = FindLastValue(count, argv, 'f');
    if (value == nullptr) {
        return false;
    }
    *fileNameCut = CopyTrimmed(value, fileName, capacity);
    return true;
}

bool ReadSleepSecondsParam(int count, const char* const* argv, std::int32_t* sleepSeconds,
                           bool* notWhole) {
    *sleepSeconds = 0;
    *notWhole = false;
    const char* value = FindLastValue(count, argv, 's');
    if (value == nullptr) {
        return false;
    }
    *sleepSeconds = ConvertDecimal(value);
    *notWhole = !IsWholeNumber(value);
    return true;
}

bool ReadTimeoutMinutesParam(int count, const char* const* argv, std::uint32_t* timeoutMinutes,
                             bool* notWhole) {
    *timeoutMinutes = 0;
    *notWhole = false;
    const char* value = FindLastValue(count, argv, 't');
    if (value == nullptr) {
        return false;
    }
    *timeoutMinutes = static_cast<std::uint32_t>(ConvertDecimal(value));
    *notWhole = !IsWholeNumber(value);
    return true;
}

bool ReadFileShouldExistParam(int count, const char* const* argv, bool* fileShouldExist) {
    *fileShouldExist = false;
    bool found = false;
    for (int index = 0; index < count; ++index) {
        const char* value = FindValue(argv[index], 'e');
        if (value == nullptr) {
            continue;
        }
        found = true;
        // Only ever turns on: a later "F" does not undo an earlier "T".
        if (std::strchr(value, 't') != nullptr || std::strchr(value, 'T') != nullptr) {
            *fileShouldExist = true;
        }
    }
    return found;
}
