#include "frontend/readers.h"

#include <cstring>

#include "names/name_rules.h"
#include "platform/platform.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsWhiteSpace(char c) {
    return IsBlank(c) || (c >= '\n' && c <= '\r');
}

bool IsMarkerLetter(char c) {
    return c != '\0' && std::strchr("fFsStTeE", c) != nullptr;
}

const char* SkipBlanks(const char* text) {
    while (IsBlank(*text)) {
        ++text;
    }
    return text;
}

bool IsMarkerAt(const char* at) {
    return at[0] == '\\' && IsMarkerLetter(at[1]);
}

bool IsFileLetter(char letter) {
    return letter == 'f' || letter == 'F';
}

// What follows a marker: from its first character that is not a blank to
// where the next marker that counts begins, or to the end of the argument.
struct Value {
    const char* begin;
    const char* end;
};

// The value of the first marker with this letter among those that count in
// the argument. Every marker counts up to the first \f or \F, whose value
// runs to the end: nothing in a path is a marker.
bool FindValue(const char* argument, char letter, Value* value) {
    const char* at = SkipBlanks(argument);
    while (IsMarkerAt(at)) {
        const char found = at[1];
        const char* begin = SkipBlanks(at + 2);
        const char* end = begin;
        while (*end != '\0' && (IsFileLetter(found) || !IsMarkerAt(end))) {
            ++end;
        }
        if (found == letter) {
            *value = Value{begin, end};
            return true;
        }
        at = end;
    }
    return false;
}

char UpperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The value in one argument: the lower-case marker's, else the upper-case one's.
bool FindValueEitherCase(const char* argument, char letter, Value* value) {
    return argument != nullptr &&
           (FindValue(argument, letter, value) || FindValue(argument, UpperCase(letter), value));
}

// The value of the last argument that holds the marker.
bool FindLastValue(int count, const char* const* arguments, char letter, Value* value) {
    bool found = false;
    for (int index = 0; index < count; ++index) {
        found = FindValueEitherCase(arguments[index], letter, value) || found;
    }
    return found;
}

std::size_t LengthWithoutTrailingBlanks(const char* text, std::size_t length) {
    while (length > 0 && IsBlank(text[length - 1])) {
        --length;
    }
    return length;
}

// The name's first kLongestFileName characters as the system counts them,
// or as many whole ones as the buffer holds, its blanks at the end removed.
// Returns whether the value had to be cut.
bool CopyTrimmed(Value value, char* fileName, int capacity) {
    const std::size_t room = static_cast<std::size_t>(capacity - 1);
    std::size_t length =
        LengthWithoutTrailingBlanks(value.begin, static_cast<std::size_t>(value.end - value.begin));
    std::size_t kept = SystemNameCut(value.begin, kLongestFileName);
    kept = kept > room ? CutAtCharacter(value.begin, room) : kept;
    const bool cut = length > kept;
    if (cut) {
        length = LengthWithoutTrailingBlanks(value.begin, kept);
    }
    std::memcpy(fileName, value.begin, length);
    fileName[length] = '\0';
    return cut;
}

// Decimal conversion by the rules of atol, saturated to the signed 32-bit
// range so that an overlong number means the same on every platform.
std::int32_t ConvertDecimal(Value value) {
    constexpr std::int64_t kLimit = 2147483648;  // magnitude of the lowest value
    const char* text = value.begin;
    while (text < value.end && IsWhiteSpace(*text)) {
        ++text;
    }
    const bool negative = text < value.end && *text == '-';
    if (text < value.end && (*text == '-' || *text == '+')) {
        ++text;
    }
    std::int64_t magnitude = 0;
    for (; text < value.end && *text >= '0' && *text <= '9'; ++text) {
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
bool IsWholeNumber(Value value) {
    const char* at = value.begin;
    if (at < value.end && (*at == '+' || *at == '-')) {
        ++at;
    }
    const char* digits = at;
    while (at < value.end && *at >= '0' && *at <= '9') {
        ++at;
    }
    if (at == digits) {
        return false;
    }
    while (at < value.end && IsBlank(*at)) {
        ++at;
    }
    return at == value.end;
}

bool SameIgnoringCase(const char* text, std::size_t length, const char* word) {
    if (std::strlen(word) != length) {
        return false;
    }
    for (std::size_t index = 0; index < length; ++index) {
        if (UpperCase(text[index]) != word[index]) {
            return false;
        }
    }
    return true;
}

// T, F, TRUE or FALSE in any mix of case, with blanks at the end.
bool IsFlagWord(Value value) {
    const std::size_t length =
        LengthWithoutTrailingBlanks(value.begin, static_cast<std::size_t>(value.end - value.begin));
    return SameIgnoringCase(value.begin, length, "T") ||
           SameIgnoringCase(value.begin, length, "F") ||
           SameIgnoringCase(value.begin, length, "TRUE") ||
           SameIgnoringCase(value.begin, length, "FALSE");
}

bool HoldsLetterT(Value value) {
    for (const char* at = value.begin; at < value.end; ++at) {
        if (*at == 't' || *at == 'T') {
            return true;
        }
    }
    return false;
}

bool ReadNumberParam(int count, const char* const* arguments, char letter, std::int32_t* number,
                     bool* notWhole) {
    *number = 0;
    *notWhole = false;
    Value value{};
    if (!FindLastValue(count, arguments, letter, &value)) {
        return false;
    }
    *number = ConvertDecimal(value);
    *notWhole = !IsWholeNumber(value);
    return true;
}

}  // namespace

bool LostItsMarkerBackslash(const char* argument) {
    return IsMarkerLetter(*SkipBlanks(argument)) && std::strchr(argument, '\\') == nullptr;
}

bool ReadFileNameParam(int count, const char* const* arguments, char* fileName, int capacity,
                       bool* fileNameCut) {
    *fileNameCut = false;
    if (capacity <= 0) {
        return false;
    }
    fileName[0] = '\0';
    Value value{};
    if (!FindLastValue(count, arguments, 'f', &value)) {
        return false;
    }
    *fileNameCut = CopyTrimmed(value, fileName, capacity);
    return true;
}

bool ReadSleepSecondsParam(int count, const char* const* arguments, std::int32_t* sleepSeconds,
                           bool* notWhole) {
    return ReadNumberParam(count, arguments, 's', sleepSeconds, notWhole);
}

bool ReadTimeoutMinutesParam(int count, const char* const* arguments, std::uint32_t* timeoutMinutes,
                             bool* notWhole) {
    std::int32_t minutes = 0;
    const bool found = ReadNumberParam(count, arguments, 't', &minutes, notWhole);
    *timeoutMinutes = static_cast<std::uint32_t>(minutes);
    return found;
}

bool ReadFileShouldExistParam(int count, const char* const* arguments, bool* fileShouldExist,
                              bool* unclearWord) {
    *fileShouldExist = false;
    *unclearWord = false;
    bool found = false;
    for (int index = 0; index < count; ++index) {
        Value value{};
        if (!FindValueEitherCase(arguments[index], 'e', &value)) {
            continue;
        }
        found = true;
        // Only ever turns on: a later "F" does not undo an earlier "T".
        *fileShouldExist = *fileShouldExist || HoldsLetterT(value);
        *unclearWord = *unclearWord || !IsFlagWord(value);
    }
    return found;
}
