// SPDX-License-Identifier: MIT
#pragma once
// The product's name and version, as the caption, --version and the
// package say them; defined once, from the build's project version.
#include <string>

// "0.1.0"
const char* ProductVersion();
// "bmslist 0.1.0": the main window's caption.
std::string ProductCaption();
