// SPDX-License-Identifier: MIT
#pragma once
// A base for classes that undo something when they go (a folder removed, a
// setting put back): a copy would undo it twice, so copying does not
// compile.
struct NoCopy {
  NoCopy() = default;
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;
};
