// SPDX-License-Identifier: MIT
#include "session/product.h"

const char* ProductVersion() { return BMSLIST_VERSION; }

std::string ProductCaption() { return std::string("bmslist ") + ProductVersion(); }
