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
#include "archivers/cab/cab_format.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/rar/rar_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  // "@name" would read files of the machine running the fuzzer.
  for (char& c : line)
    if (c == '@') c = 'a';
  auto tokens = arc::TokenizeCommandLine(line);
  for (arc::DialectParser parse :
       {arc::ParseLhaCommand, arc::ParseZipCommand, arc::ParseCabCommand, arc::ParseRarCommand, arc::ParseTarCommand,
        arc::ParseSevenZipCommand}) {
    arc::ExtractRequest req;
    parse(tokens, req);
    for (const auto& p : req.include) arc::PatternMatches(req.archive, p);
  }
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
