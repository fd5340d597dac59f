// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// File names as the ZIP libraries match them: path delimiters become "/" and
// "[" becomes "[[]" so it is not read as a wildcard class. Whole CP932
// characters are walked, so a double-byte character whose second byte is
// "\" or "[" stays as it is.
std::string ZipNameConverter(const std::string& name);
