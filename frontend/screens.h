#pragma once

#include "wait/run_settings.h"

void PrintUsage();
void PrintWelcome();
void PrintSettings(const RunSettings& settings);
