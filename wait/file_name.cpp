#include "wait/file_name.h"

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
