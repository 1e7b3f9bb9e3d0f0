#include "wait/file_name.h"

#include <cstring>

#include "names/name_rules.h"
#include "platform/platform.h"

NameFault FindNameFault(const RunSettings& settings) {
    const NameSyntax syntax = SystemNameSyntax();
    const char* name = settings.fileName;
    if (settings.fileNameCut) {
        return NameFault::overlong;
    }
    if (name[0] == '\0') {
        return NameFault::empty;
    }
    if (HoldsForbiddenCharacter(syntax, name)) {
        return syntax == NameSyntax::windows ? NameFault::forbiddenCharacter
                                             : NameFault::controlCharacter;
    }
    if (HasWildcardInFolder(syntax, name)) {
        return NameFault::wildcardInFolder;
    }
    return NameFault::none;
}

bool ResolvesOnto(const char* name, FileSystemId fileSystem) {
    const NameSyntax syntax = SystemNameSyntax();
    char folders[2][kFileNameCapacity];
    int at = 0;
    if (!CopyFolderPart(syntax, name, folders[at], sizeof folders[at])) {
        return false;
    }
    for (;;) {
        FileSystemId answeredFrom = 0;
        std::uint32_t systemError = 0;
        const FileState state = ReadFileSystemId(folders[at], &answeredFrom, &systemError);
        if (state != FileState::absent) {
            return state == FileState::exists && answeredFrom == fileSystem;
        }
        const int up = 1 - at;
        if (!CopyFolderPart(syntax, folders[at], folders[up], sizeof folders[up]) ||
            std::strcmp(folders[up], folders[at]) == 0) {
            return false;
        }
        at = up;
    }
}
