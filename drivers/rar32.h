#pragma once
// TRar32 extracts through UNRAR32.DLL; it cannot create or change archives.
#include "drivers/family_archiver.h"

class TRar32 : public FamilyDriver<TRar32> {
 public:
  static constexpr FamilyLibrary kLibrary{"UNRAR32.DLL", "Unrar", "この機能の使用には UNRAR32.DLL が 必要です。"};

 protected:
  int Run(const CommandRequest& request, std::string& output) override;
};

bool IsRarArchive(const std::string& fileName);
