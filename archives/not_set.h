// SPDX-License-Identifier: MIT
#pragma once
// `not set`: the one-character string holding byte 0. String options and the
// archive component's file name use it for "absent", which the empty string
// (present, empty value) is not.
#include <string>
#include <string_view>

inline const std::string kNotSet(1, '\0');

inline bool IsNotSet(std::string_view s) { return s.size() == 1 && s[0] == '\0'; }
