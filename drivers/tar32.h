// SPDX-License-Identifier: MIT
#pragma once
// The tar32.dll drivers: TTar32 for plain TAR and TAR+xz/lzma/zstd, TTgz32 (gzip, compress) and
// TBZ232 (bzip2), which differ only in the compression switch and SFX.
#include "drivers/family_archiver.h"
#include "archives/archiver_type.h"

enum class TarCompression { None, Gzip, Bzip2 };

class TTar32 : public FamilyDriver<TTar32> {
 public:
  static constexpr FamilyLibrary kLibrary{"tar32.dll", "Tar",
                                           "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"};
  TTar32() = default;

 protected:
  explicit TTar32(TarCompression compression) : compression_(compression) {}
  int Run(const CommandRequest& request, std::string& output) override;

 private:
  int MakeSelfExtractor(const CommandRequest& request);

  TarCompression compression_ = TarCompression::None;
};

class TTgz32 : public TTar32 {
 public:
  TTgz32() : TTar32(TarCompression::Gzip) {}
};

class TBZ232 : public TTar32 {
 public:
  TBZ232() : TTar32(TarCompression::Bzip2) {}
};

// The archive type tar32.dll reports: atTar, atTgz, atBZ2 or atNone. Never
// raises.
TArchiverType GetTarType(const std::string& fileName);
