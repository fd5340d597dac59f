// SPDX-License-Identifier: MIT
#pragma once
// TCab32 drives CAB32.DLL: extracting, creating and self-extractors.
#include "drivers/family_archiver.h"

class TCab32 : public FamilyDriver<TCab32> {
 public:
  static constexpr FamilyLibrary kLibrary{"CAB32.DLL", "Cab", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。"};

 protected:
  int Run(const CommandRequest& request, std::string& output) override;
};

bool IsCabArchive(const std::string& fileName);
