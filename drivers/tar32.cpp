// SPDX-License-Identifier: MIT
#include "drivers/tar32.h"

#include "archives/earchiver.h"
#include "drivers/sfx_file.h"
#include "platform/paths.h"
#include "platform/search_path.h"

int TTar32::Run(const CommandRequest& r, std::string& output) {
  const TArchiverOptions& o = r.options;
  const char* word = nullptr;
  bool resFile = false;
  switch (r.command) {
    case ArcCommand::Unpack: word = "x", resFile = o.ResFileUsage.Contains(ruOnUnpack); break;
    case ArcCommand::Pack: word = "c", resFile = o.ResFileUsage.Contains(ruOnPack); break;
    case ArcCommand::MakeSFX: return MakeSelfExtractor(r);
    case ArcCommand::RemoveItem:
    case ArcCommand::Update: return Unsupported(r, output);
  }
  TCmdOpt cmd;
  cmd.QuoteValueOnly = true;
  if (o.a > 0) cmd.Add("-AH");
  if (o.a == 0) cmd.Add("-I");
  // With a progress window the library's own dialog stays on.
  if (FOwnerWnd == 0 && o.n > 0) cmd.Add("--display-dialog=0");
  if (o.o > 0) cmd.Add("-g");
  cmd.AddInt("-check-all-path=", o.p);
  cmd.AddInt("-use-directory=", o.x);
  if (compression_ != TarCompression::None) {
    const bool gzip = compression_ == TarCompression::Gzip;
    if (o.jm >= 1)
      cmd.AddInt(gzip ? "z" : "B", o.jm);
    else
      cmd.Add(gzip ? "-z" : "-B");
  }
  cmd.Add(o.UserOptions);
  if (!r.arcFileName.empty()) cmd.AddStr("f", r.arcFileName);
  if (!r.baseDir.empty()) cmd.AddDir("o", r.baseDir);
  AddFiles(cmd, o, r.files, resFile);
  FCmdLine = word + cmd.CommandText;
  int result = Module().Command(r.wnd, FCmdLine, output);
  if (r.wnd != 0) platform::SetForegroundWindow(r.wnd);
  return result;
}

// tar32.dll is not involved: the stub program followed by the archive is
// the self-extractor.
int TTar32::MakeSelfExtractor(const CommandRequest& r) {
  if (compression_ == TarCompression::Bzip2) RaiseArchiver("BZ2 形式書庫は自己解凍形式にできません。");
  std::string stub = platform::SearchPath("kmtarsef.exe");
  if (stub.empty()) RaiseArchiver("tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
  WriteSfxFile(stub, r.arcFileName, SfxOutputName(r.arcFileName, r.baseDir));
  return 0;
}

TArchiverType GetTarType(const std::string& fileName) {
  try {
    switch (TTar32::Module().GetArchiveType(fileName)) {
      case ARCHIVETYPE_TAR:
      // The newer compressions need no switch of their own: tar32 tells
      // them from the data.
      case ARCHIVETYPE_TARXZ:
      case ARCHIVETYPE_XZ:
      case ARCHIVETYPE_TARLZMA:
      case ARCHIVETYPE_LZMA:
      case ARCHIVETYPE_TARZSTD:
      case ARCHIVETYPE_ZSTD: return atTar;
      case ARCHIVETYPE_TARGZ:
      case ARCHIVETYPE_TARZ:
      case ARCHIVETYPE_GZ:
      case ARCHIVETYPE_Z: return atTgz;
      case ARCHIVETYPE_TARBZ2:
      case ARCHIVETYPE_BZ2: return atBZ2;
      default: return atNone;
    }
  } catch (const platform::Error&) {  // no library, or no such entry
    return atNone;
  }
}
