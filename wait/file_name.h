// What kind of name the tool was given, by the rules of the system it runs on.
#pragma once

#include "wait/run_settings.h"

// Names that cannot be checked, in the order in which they are reported:
// only the first that applies is. Such a name is never probed and meets
// neither condition.
enum class NameFault { none, overlong, empty, forbiddenCharacter, wildcardInFolder };

NameFault FindNameFault(const RunSettings& settings);

// A * or ? in the name's last part makes it a pattern for the entries of its
// folder. The ? of the long-path prefix \\?\ (or //?/) is no wildcard.
bool IsPattern(const char* fileName);
