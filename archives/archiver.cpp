// SPDX-License-Identifier: MIT
#include "archives/archiver.h"

#include "archives/earchiver.h"
#include "archives/not_set.h"

void TArchiver::LoadDLL() { throw EArchiver("Abstract method 'TArchiver.LoadDLL' was called"); }
void TArchiver::FreeDLL() { throw EArchiver("Abstract method 'TArchiver.FreeDLL' was called"); }

HARC TArchiver::OpenArchive(WindowHandle, const std::string&, std::uint32_t) { return 0; }
int TArchiver::FindFirst(HARC, INDIVIDUALINFO*, const std::string&) { return -1; }
int TArchiver::FindNext(HARC, INDIVIDUALINFO*) { return -1; }
int TArchiver::CloseArchive(HARC) { return 0; }

int TArchiver::Pack(WindowHandle, const std::string&, const TArchiverOptions&, const std::string&, const TStringList*,
                    bool, std::string&) {
  RaiseArchiver("この形式では書庫ファイルの作成をサポートしておりません。");
}

int TArchiver::RemoveItem(WindowHandle, const std::string&, const TArchiverOptions&, const std::string&,
                          const TStringList*, bool, std::string&) {
  RaiseArchiver("この形式の書庫ではファイルの削除をサポートしておりません。");
}

int TArchiver::Update(WindowHandle, const std::string&, const TArchiverOptions&, const std::string&,
                      const TStringList*, bool, std::string&) {
  RaiseArchiver("この形式の書庫では書庫の更新をサポートしておりません。");
}

int TArchiver::MakeSFX(WindowHandle, const std::string&, const TArchiverOptions&, const std::string&, std::string&) {
  RaiseArchiver("この形式では自己解凍書庫の作成をサポートしておりません。");
}

int TArchiver::CheckArchive(const std::string&, int, int) {
  RaiseArchiver("この形式では書庫チェック機能をサポートしておりません。");
}

bool TArchiver::SetOwnerWindow(WindowHandle, ARCHIVERPROC) { return false; }
bool TArchiver::KillOwnerWindow(WindowHandle) { return false; }

int TArchiver::ListExtractMem(const std::string&, ENTRYMEMPROC, void*) { return ERROR_NOT_SUPPORT; }

void TArchiver::AddArcAndDir(TCmdOpt& cmd, const std::string& arcFileName, const std::string& baseDir) {
  cmd.AddStr("", arcFileName);
  cmd.AddDir("", baseDir);
}

void TArchiver::AddFiles(TCmdOpt& cmd, const TArchiverOptions& options, const TStringList* files, bool useResFile) {
  if (files) {
    if (useResFile && !options.ResFileName.empty() && !IsNotSet(options.ResFileName))
      cmd.AddResFile(*files, options.ResFileName);
    else
      cmd.AddFileList("", *files);
  }
  cmd.Add(options.UserFileList);
}
