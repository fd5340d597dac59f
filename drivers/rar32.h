// SPDX-License-Identifier: MIT
#pragma once
// TRar32 extracts through UNRAR32.DLL; it cannot create or change archives.
#include "drivers/family_archiver.h"

class TRar32 : public FamilyDriver<TRar32> {
 public:
  // RAR 4 goes through unarr, which converts entry times with gmtime's one
  // shared buffer: two extractions at once would swap their files' times.
  static constexpr FamilyLibrary kLibrary{"UNRAR32.DLL", "Unrar", "この機能の使用には UNRAR32.DLL が 必要です。",
                                          true};

 protected:
  int Run(const CommandRequest& request, std::string& output) override;
};

bool IsRarArchive(const std::string& fileName);
