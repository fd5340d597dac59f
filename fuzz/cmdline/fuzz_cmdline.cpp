// SPDX-License-Identifier: MIT
// Command lines as the libraries receive them: tokenizer, every dialect's
// switch parsing, and the entry-name rules applied to the words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archivers/shared/cmdline.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/create_request.h"
#include "archivers/7z/7z_format.h"
#include "archivers/shared/unicode_mode.h"
#include "archivers/cab/cab_format.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/rar/rar_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"
#include "platform/path_text.h"
#include "platform/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  // "@name" would read files of the machine running the fuzzer.
  for (char& c : line)
    if (c == '@') c = 'a';
  auto tokens = arc::TokenizeCommandLine(line);
  // Both codings of the caller's texts: code page 932 and Unicode mode.
  for (bool unicode : {false, true}) {
    arc::SetUnicodeMode(unicode);
    for (arc::DialectParser parse :
         {arc::ParseLhaCommand, arc::ParseZipCommand, arc::ParseCabCommand, arc::ParseRarCommand, arc::ParseTarCommand,
          arc::ParseSevenZipCommand}) {
      arc::ExtractRequest req;
      parse(tokens, req);
      req.archive = arc::FromCaller(req.archive);
      for (auto& p : req.include) arc::PatternMatches(req.archive, arc::FromCaller(p));
      platform::IncludeTrailingDelimiter(arc::FromCaller(req.destDir));
    }
    for (const auto& t : tokens) {
      arc::ReportedName(t.text, unicode);
      arc::ForCaller(t.text);
    }
  }
  arc::SetUnicodeMode(false);
  // The marked path form: its parts must come out whole.
  const std::string marked = platform::kUtf8PathMark + line;
  const std::string name = platform::ExtractFileName(marked), folder = platform::ExtractFilePath(marked);
  if (folder.size() + name.size() != marked.size() || (!folder.empty() && folder[0] != platform::kUtf8PathMark))
    __builtin_trap();
  platform::ExtractFileExt(marked);
  {
    // The creating side of tar's clustered command words.
    arc::CreateRequest create;
    arc::ParseTarCreateCommand(tokens, create);
  }
  for (const auto& t : tokens) {
    for (bool utf8 : {false, true}) {
      arc::EntryPath p = arc::MakeEntryPath(t.text, utf8);
      if (!p.unsafe) {
        for (const auto& d : p.dirs)
          if (d.empty() || d == "." || d == ".." || d.find('/') != std::string::npos) __builtin_trap();
        if (p.leaf == ".." || p.leaf.find('/') != std::string::npos) __builtin_trap();
        arc::SafeLinkTarget(t.text, utf8, p);
      }
      arc::DisplayName(t.text, utf8);
    }
  }
  arc::ParseResponseText(line);
  return 0;
}
