#include "drivers/sevenzip.h"

#include "archives/earchiver.h"
#include "archives/not_set.h"

// x keeps the archive's folders, e drops them; -y so that nothing is ever
// asked; the destination right after -o, quoted; the archive, then masks.
int TSevenZip::Run(const CommandRequest& r, std::string& output) {
  if (r.command != ArcCommand::Unpack) return Unsupported(r, output);
  const TArchiverOptions& o = r.options;
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
