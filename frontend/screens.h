#pragma once

#include "wait/run_settings.h"

void PrintUsage();
void PrintWelcome();
// Where a POSIX shell has read the arguments: how to keep their backslashes.
void PrintQuotingHint();
void PrintBackslashHint();
void PrintSettings(const RunSettings& settings);
