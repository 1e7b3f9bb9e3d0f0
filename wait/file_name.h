// What kind of name the tool was given, by the rules of the system it runs on.
#pragma once

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
