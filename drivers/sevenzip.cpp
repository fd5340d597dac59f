// SPDX-License-Identifier: MIT
#include "drivers/sevenzip.h"

#include "archives/earchiver.h"
#include "archives/not_set.h"

namespace {
// Encrypted 7z archives are not read: a password switch among the user's
// options is refused here rather than sent.
void RefusePassword(const std::string& userOptions) {
  std::size_t at = 0;
  while ((at = userOptions.find_first_not_of(' ', at)) != std::string::npos) {
    if (userOptions.compare(at, 2, "-p") == 0 || userOptions.compare(at, 2, "-P") == 0)
      RaiseArchiver("パスワード付きの 7z 書庫には対応していません (-p)。");
    at = userOptions.find(' ', at);
  }
}
}  // namespace

// x keeps the archive's folders, e drops them; -y so that nothing is ever
// asked; the destination right after -o, quoted; the archive, then masks.
int TSevenZip::Run(const CommandRequest& r, std::string& output) {
  if (r.command != ArcCommand::Unpack) return Unsupported(r, output);
  const TArchiverOptions& o = r.options;
  RefusePassword(o.UserOptions);
  TCmdOpt cmd;
  cmd.Add("-y");
  if (!r.baseDir.empty() && !IsNotSet(r.baseDir)) {
    // The quoted folder as AddDir writes it, joined to the switch.
    TCmdOpt dir;
    dir.AddDir("", r.baseDir);
    cmd.Add("-o" + dir.CommandText.substr(1));
  }
  if (!o.UserOptions.empty()) cmd.Add(o.UserOptions);
  cmd.AddStr("", r.arcFileName);
  AddFiles(cmd, o, r.files, o.ResFileUsage.Contains(ruOnUnpack));
  FCmdLine = (o.x != 0 ? "x" : "e") + cmd.CommandText;
  return Module().Command(r.wnd, FCmdLine, output);
}

bool IsSevenZipArchive(const std::string& fileName) { return TSevenZip::Module().Recognises(fileName); }
