// What kind of name the tool was given, and where it resolves, by the rules
// of the system it runs on.
#pragma once

#include "platform/platform.h"
#include "wait/run_settings.h"

// Names that cannot be checked, in the order in which they are reported:
// only the first that applies is. Such a name is never probed and meets
// neither condition. A forbidden character is Windows' rule, a control
// character the POSIX one.
enum class NameFault {
    none,
    overlong,
    empty,
    forbiddenCharacter,
    controlCharacter,
    wildcardInFolder
};

NameFault FindNameFault(const RunSettings& settings);

// Whether the nearest folder of the name that answers is on that file
// system. Where a share was unmounted under a wait, the name resolves into
// the folder it was mounted on, which is on another.
bool ResolvesOnto(const char* name, FileSystemId fileSystem);
