// SPDX-License-Identifier: MIT
#pragma once
// TArj32 extracts through UNARJ32J.DLL with the LHA command line; creating,
// deleting, updating and self-extractors stay the LHA driver's (UNLHA32.DLL).
#include "drivers/lha32.h"

class TArj32 : public FamilyDriver<TArj32, TLha32> {
 public:
  static constexpr FamilyLibrary kLibrary{"UNARJ32J.DLL", "Unarj",
                                           "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。"};

 protected:
  int Run(const CommandRequest& request, std::string& output) override;
};

bool IsArjArchive(const std::string& fileName);
