// SPDX-License-Identifier: MIT
#include "drivers/unicode_call.h"

#include <cstring>

#include "archives/earchiver.h"
#include "archives/unicode_line.h"
#include "platform/cp932.h"
#include "platform/path_text.h"

namespace {
thread_local int t_unicodeCalls = 0;

// A UTF-8 field of the library as the system's text, fitted back into it.
void FieldBack(char* field, std::size_t size, bool path) {
  std::string utf8(field, strnlen(field, size));
  std::string back = path ? platform::PathFromUtf8(utf8) : platform::Utf8ToCp932(utf8);
  if (back.size() >= size) back.resize(size - 1);
  std::memset(field, 0, size);
  std::memcpy(field, back.data(), back.size());
}
}  // namespace

UnicodeCall::UnicodeCall(ARC_SETUNICODE_FN setMode, std::string_view text, const std::string& library) {
  if (!NeedsUnicode(text)) return;
  if (!setMode || !setMode(1))
    throw EArchiver(library + Cp932Text(" はコード ページ 932 で表せない名前を扱えません (Unicode モードがありません)。"));
  setMode_ = setMode;
  ++t_unicodeCalls;
}

UnicodeCall::~UnicodeCall() {
  if (!setMode_) return;
  setMode_(0);
  --t_unicodeCalls;
}

std::string UnicodeCall::Text(const std::string& text) const { return On() ? Utf8CommandText(text) : text; }

void UnicodeCall::OutputBack(std::string& output) const {
  if (!On() || output.empty()) return;
  FieldBack(output.data(), output.size(), false);
}

void UnicodeCall::NamesBack(EXTRACTINGINFOEX& info) {
  FieldBack(info.exinfo.szSourceFileName, sizeof info.exinfo.szSourceFileName, true);
  FieldBack(info.exinfo.szDestFileName, sizeof info.exinfo.szDestFileName, true);
}

bool InUnicodeCall() { return t_unicodeCalls > 0; }
