// SPDX-License-Identifier: MIT
#pragma once
// TLha32 drives UNLHA32.DLL; its command builder is the LHA switch list,
// which TArj32 shares.
#include "drivers/family_archiver.h"

class TLha32 : public FamilyDriver<TLha32> {
 public:
  static constexpr FamilyLibrary kLibrary{"UNLHA32.DLL", "Unlha",
                                           "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"};
  TLha32() = default;

 protected:
  using FamilyDriver::FamilyDriver;
  int Run(const CommandRequest& request, std::string& output) override;

  // The whole LHA command line: the command word followed by the switches
  // of `options`, the archive, the base folder and the files.
  std::string BuildLhaCommand(const char* word, const std::string& arcFileName, const TArchiverOptions& options,
                              const std::string& baseDir, const TStringList* files, bool useResFile) const;
};

// Whether UNLHA32.DLL can open the file; never raises.
bool IsLhaArchive(const std::string& fileName);
