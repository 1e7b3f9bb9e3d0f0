#include "wait/file_name.h"

#include <cstring>

#include "platform/platform.h"

namespace {

bool IsWildcard(char c) {
    return c == '*' || c == '?';
}

const char* SkipLongPathPrefix(const char* name) {
    const bool prefixed = IsPathSeparator(name[0]) && IsPathSeparator(name[1]) && name[2] == '?' &&
                          IsPathSeparator(name[3]);
    return prefixed ? name + 4 : name;
}

const char* LastPart(const char* name) {
    const char* last = name;
    for (const char* at = name; *at != '\0'; ++at) {
        if (IsPathSeparator(*at)) {
            last = at + 1;
        }
    }
    return last;
}

bool HoldsForbiddenCharacter(const char* name) {
    for (const char* at = name; *at != '\0'; ++at) {
        if (IsForbiddenInName(*at)) {
            return true;
        }
    }
    return false;
}

bool HoldsWildcard(const char* begin, const char* end) {
    for (const char* at = begin; at != end; ++at) {
        if (IsWildcard(*at)) {
            return true;
        }
    }
    return false;
}

}  // namespace

NameFault FindNameFault(const RunSettings& settings) {
    const char* name = settings.fileName;
    if (settings.fileNameCut) {
        return NameFault::overlong;
    }
    if (name[0] == '\0') {
        return NameFault::empty;
    }
    if (HoldsForbiddenCharacter(name)) {
        return NameFault::forbiddenCharacter;
    }
    const char* folders = SkipLongPathPrefix(name);
    if (HoldsWildcard(folders, LastPart(folders))) {
        return NameFault::wildcardInFolder;
    }
    return NameFault::none;
}

bool IsPattern(const char* fileName) {
    return std::strpbrk(LastPart(SkipLongPathPrefix(fileName)), "*?") != nullptr;
}
