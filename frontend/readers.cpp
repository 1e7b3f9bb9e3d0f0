#include "frontend/readers.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsWhiteSpace(char c) {
    return IsBlank(c) || (c >= '\n' && c <= '\r');
}

// The marker that counts in the argument, or nullptr. The upper-case marker
// counts only where the lower-case one is absent.
const char* FindMarker(const char* argument, char letter) {
    if (argument == nullptr) {
        return nullptr;
    }
    const char lower[] = {'\\', letter, '\0'};
    const char upper[] = {'\\', static_cast<char>(letter - 'a' + 'A'), '\0'};
    const char* marker = std::strstr(argument, lower);
    return marker != nullptr ? marker : std::strstr(argument, upper);
}

// The value behind a marker, with its leading blanks skipped.
const char* ValueAfter(const char* marker) {
    const char* value = marker + 2;
    while (IsBlank(*value)) {
        ++value;
    }
    return value;
}

// Whether the marker is part of a path: in the program's own path, or after
// a file marker in the same argument.
bool InsidePath(int index, const char* argument, const char* marker) {
    if (index == 0) {
        return true;
    }
    for (const char* at = argument; at < marker; ++at) {
        if (at[0] == '\\' && (at[1] == 'f' || at[1] == 'F')) {
            return true;
        }
    }
    return false;
}

// The marker of the last argument that holds one, or nullptr, with that
// argument's index.
const char* FindLastMarker(int count, const char* const* argv, char letter, int* index) {
    const char* found = nullptr;
    for (int at = 0; at < count; ++at) {
        const char* marker = FindMarker(argv[at], letter);
        if (marker != nullptr) {
            found = marker;
            *index = at;
        }
    }
    return found;
}

const char* FindLastValue(int count, const char* const* argv, char letter) {
    int index = 0;
    const char* marker = FindLastMarker(count, argv, letter, &index);
    return marker != nullptr ? ValueAfter(marker) : nullptr;
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

bool SameIgnoringCase(const char* text, std::size_t length, const char* word) {
    if (std::strlen(word) != length) {
        return false;
    }
    for (std::size_t index = 0; index < length; ++index) {
        const char c = text[index];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != word[index]) {
            return false;
        }
    }
    return true;
}

// T, F, TRUE or FALSE in any mix of case, with blanks at the end.
bool IsFlagWord(const char* value) {
    const std::size_t length = LengthWithoutTrailingBlanks(value, std::strlen(value));
    return SameIgnoringCase(value, length, "T") || SameIgnoringCase(value, length, "F") ||
           SameIgnoringCase(value, length, "TRUE") || SameIgnoringCase(value, length, "FALSE");
}

}  // namespace

bool ReadFileNameParam(int count, const char* const* argv, char* fileName, int capacity,
                       bool* fileNameCut, bool* insidePath) {
    *fileNameCut = false;
    *insidePath = false;
    if (capacity <= 0) {
        return false;
    }
    fileName[0] = '\0';
    int index = 0;
    const char* marker = FindLastMarker(count, argv, 'f', &index);
    if (marker == nullptr) {
        return false;
    }
    *fileNameCut = CopyTrimmed(ValueAfter(marker), fileName, capacity);
    *insidePath = InsidePath(index, argv[index], marker);
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

bool ReadFileShouldExistParam(int count, const char* const* argv, bool* fileShouldExist,
                              bool* setInsidePath, bool* unclearWord) {
    *fileShouldExist = false;
    *setInsidePath = false;
    *unclearWord = false;
    bool found = false;
    bool setOutsidePath = false;
    for (int index = 0; index < count; ++index) {
        const char* marker = FindMarker(argv[index], 'e');
        if (marker == nullptr) {
            continue;
        }
        found = true;
        const char* value = ValueAfter(marker);
        const bool insidePath = InsidePath(index, argv[index], marker);
        // Only ever turns on: a later "F" does not undo an earlier "T".
        if (std::strchr(value, 't') != nullptr || std::strchr(value, 'T') != nullptr) {
            *fileShouldExist = true;
            setOutsidePath = setOutsidePath || !insidePath;
        }
        if (!insidePath && !IsFlagWord(value)) {
            *unclearWord = true;
        }
    }
    *setInsidePath = *fileShouldExist && !setOutsidePath;
    return found;
}
