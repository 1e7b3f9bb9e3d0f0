#include "names/name_rules.h"

#include <cstring>

namespace {

bool IsWildcard(char c) {
    return c == '*' || c == '?';
}

bool HoldsWildcard(const char* begin, const char* end) {
    for (const char* at = begin; at != end; ++at) {
        if (IsWildcard(*at)) {
            return true;
        }
    }
    return false;
}

bool IsControlCharacter(unsigned char code) {
    return (code >= 0x01 && code <= 0x1F) || code == 0x7F;
}

bool IsForbidden(NameSyntax syntax, char c) {
    const auto code = static_cast<unsigned char>(c);
    if (syntax == NameSyntax::posix) {
        return IsControlCharacter(code);
    }
    return code < 0x20 || c == '"' || c == '<' || c == '>' || c == '|';
}

// The bytes of the character that starts at `at`: a valid UTF-8 sequence
// (no overlong form, no surrogate, nothing above U+10FFFF), else one byte.
std::size_t CharacterLength(const char* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    const unsigned char lead = bytes[0];
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    if (length == 1 || bytes[1] < low || bytes[1] > high) {
        return 1;
    }
    for (std::size_t index = 2; index < length; ++index) {
        if ((bytes[index] & 0xC0u) != 0x80u) {
            return 1;
        }
    }
    return length;
}

bool IsSelfOrParent(const char* entryName) {
    return entryName[0] == '.' &&
           (entryName[1] == '\0' || (entryName[1] == '.' && entryName[2] == '\0'));
}

bool SameCharacter(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

}  // namespace

bool HasDriveLetter(const char* name) {
    const char lower = static_cast<char>(name[0] | 0x20);
    return lower >= 'a' && lower <= 'z' && name[1] == ':';
}

bool IsPathSeparator(NameSyntax syntax, char c) {
    return c == '/' || (syntax == NameSyntax::windows && c == '\\');
}

const char* SkipLongPathPrefix(NameSyntax syntax, const char* name) {
    const bool prefixed = syntax == NameSyntax::windows && IsPathSeparator(syntax, name[0]) &&
                          IsPathSeparator(syntax, name[1]) && name[2] == '?' &&
                          IsPathSeparator(syntax, name[3]);
    return prefixed ? name + 4 : name;
}

const char* LastPart(NameSyntax syntax, const char* name) {
    const char* last = SkipLongPathPrefix(syntax, name);
    if (syntax == NameSyntax::windows && HasDriveLetter(last)) {
        last += 2;
    }
    for (const char* at = last; *at != '\0'; ++at) {
        if (IsPathSeparator(syntax, *at)) {
            last = at + 1;
        }
    }
    return last;
}

std::size_t FolderPartLength(NameSyntax syntax, const char* name) {
    auto length = static_cast<std::size_t>(LastPart(syntax, name) - name);
    if (length == 0 || !IsPathSeparator(syntax, name[length - 1])) {
        return length;
    }
    const bool root = length == 1 || (syntax == NameSyntax::windows && name[length - 2] == ':');
    return root ? length : length - 1;
}

bool CopyFolderPart(NameSyntax syntax, const char* name, char* folder, std::size_t capacity) {
    std::size_t length = FolderPartLength(syntax, name);
    if (length == 0) {
        name = ".";
        length = 1;
    }
    if (length >= capacity) {
        return false;
    }
    std::memcpy(folder, name, length);
    folder[length] = '\0';
    return true;
}

void CopyEntryName(const char* entryName, char* copy, std::size_t capacity) {
    const std::size_t length = std::strlen(entryName);
    const std::size_t copied = length < capacity ? length : 0;
    std::memcpy(copy, entryName, copied);
    copy[copied] = '\0';
}

bool NameInFolderOf(NameSyntax syntax, const char* pattern, const char* entryName, char* name,
                    std::size_t capacity) {
    const auto folderLength = static_cast<std::size_t>(LastPart(syntax, pattern) - pattern);
    const std::size_t entryLength = std::strlen(entryName);
    name[0] = '\0';
    if (folderLength + entryLength >= capacity) {
        return false;
    }
    std::memcpy(name, pattern, folderLength);
    std::memcpy(name + folderLength, entryName, entryLength + 1);
    return true;
}

std::size_t CutAfterCharacters(const char* name, std::size_t longest, CharacterCount count) {
    std::size_t length = 0;
    for (std::size_t units = 0; name[length] != '\0';) {
        const std::size_t bytes = CharacterLength(name + length);
        units += count == CharacterCount::utf16Units && bytes == 4 ? 2 : 1;
        if (units > longest) {
            break;
        }
        length += bytes;
    }
    return length;
}

std::size_t CutAtCharacter(const char* name, std::size_t room) {
    std::size_t length = 0;
    while (name[length] != '\0') {
        const std::size_t next = length + CharacterLength(name + length);
        if (next > room) {
            break;
        }
        length = next;
    }
    return length;
}

bool IsPattern(NameSyntax syntax, const char* name) {
    const char* last = LastPart(syntax, name);
    return HoldsWildcard(last, last + std::strlen(last));
}

bool HasWildcardInFolder(NameSyntax syntax, const char* name) {
    return HoldsWildcard(SkipLongPathPrefix(syntax, name), LastPart(syntax, name));
}

bool HoldsForbiddenCharacter(NameSyntax syntax, const char* name) {
    for (const char* at = name; *at != '\0'; ++at) {
        if (IsForbidden(syntax, *at)) {
            return true;
        }
    }
    return false;
}

bool ListedEntryMatches(NameSyntax syntax, const char* entryName, WildcardPattern pattern) {
    return !IsSelfOrParent(entryName) &&
           (syntax == NameSyntax::windows || EntryMatches(entryName, pattern));
}

bool EntryMatches(const char* entryName, WildcardPattern pattern) {
    std::uint64_t steps = 0;
    return EntryMatchesCountingSteps(entryName, pattern, &steps);
}

// Both texts are read a character at a time. The last * seen takes one more
// character at each mismatch; an earlier * never needs to, which keeps the
// cost within the product of the two lengths.
bool EntryMatchesCountingSteps(const char* entryName, WildcardPattern pattern,
                               std::uint64_t* steps) {
    *steps = 0;
    const char* name = entryName;
    const char* wanted = pattern.text;
    const char* afterStar = nullptr;
    const char* starTakesUpTo = nullptr;
    while (*name != '\0') {
        ++*steps;
        const std::size_t nameLength = CharacterLength(name);
        const std::size_t wantedLength = CharacterLength(wanted);
        if (*wanted == '*') {
            afterStar = ++wanted;
            starTakesUpTo = name;
        } else if (*wanted == '?' ||
                   (*wanted != '\0' && SameCharacter(wanted, wantedLength, name, nameLength))) {
            wanted += wantedLength;
            name += nameLength;
        } else if (afterStar != nullptr) {
            wanted = afterStar;
            starTakesUpTo += CharacterLength(starTakesUpTo);
            name = starTakesUpTo;
        } else {
            return false;
        }
    }
    for (; *wanted == '*'; ++wanted) {
        ++*steps;
    }
    return *wanted == '\0';
}
