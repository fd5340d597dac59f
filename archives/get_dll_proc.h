// SPDX-License-Identifier: MIT
#pragma once
#include "platform/dynlib.h"

// The address of the export `name` in `module`; raises EArchiver naming the
// module's file (at most 256 bytes of it) and the entry when it is missing.
void* GetDLLProc(platform::ModuleHandle module, const char* name);
