// SPDX-License-Identifier: MIT
#include "archives/earchiver.h"

#include "platform/cp932.h"

std::string Cp932Text(const char* utf8) { return platform::Utf8ToCp932(utf8); }

void RaiseArchiver(const char* utf8Message) { throw EArchiver(Cp932Text(utf8Message)); }
