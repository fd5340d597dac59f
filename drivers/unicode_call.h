// SPDX-License-Identifier: MIT
#pragma once
// One call to a library in Unicode mode: made when the call's text carries a
// path CP932 cannot hold (archives/unicode_line.h), so that the library
// takes and gives UTF-8 for this call on this thread, and switched back
// after it. A library without ...SetUnicodeMode cannot take such a path: it
// is refused with EArchiver before anything is sent.
#include <string>
#include <string_view>

#include "archivers/include/archiver_api.h"

class UnicodeCall {
 public:
  // `setMode` is the library's SetUnicodeMode entry, null when it has none;
  // `library` its file name, for the refusal.
  UnicodeCall(ARC_SETUNICODE_FN setMode, std::string_view text, const std::string& library);
  ~UnicodeCall();
  UnicodeCall(const UnicodeCall&) = delete;
  UnicodeCall& operator=(const UnicodeCall&) = delete;

  bool On() const { return setMode_ != nullptr; }
  // The text as the library takes it in this call.
  std::string Text(const std::string& text) const;
  // The output buffer's text back in the system's form (CP932, a character
  // CP932 lacks as "?"), in place.
  void OutputBack(std::string& output) const;
  // An entry's names as a CP932 call would have given them.
  static void NamesBack(EXTRACTINGINFOEX& info);

 private:
  ARC_SETUNICODE_FN setMode_ = nullptr;
};

// Whether the calling thread is inside a Unicode call: progress reports
// then carry UTF-8 names.
bool InUnicodeCall();
