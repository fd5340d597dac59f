// SPDX-License-Identifier: MIT
#pragma once
// TSevenZip extracts through 7-ZIP32.DLL with the 7-Zip command style; it
// cannot create or change archives.
#include "drivers/family_archiver.h"

class TSevenZip : public FamilyDriver<TSevenZip> {
 public:
  static constexpr FamilyLibrary kLibrary{"7-ZIP32.DLL", "SevenZip",
                                          "7z 形式書庫を扱うには 7-ZIP32.DLL が 必要です。"};

 protected:
  int Run(const CommandRequest& request, std::string& output) override;
};

bool IsSevenZipArchive(const std::string& fileName);
