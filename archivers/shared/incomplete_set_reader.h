// SPDX-License-Identifier: MIT
#pragma once
// A reader over a split archive one of whose volumes is not there: the
// entries the volumes at hand hold come out, and where the reading runs
// out, the error names the volume looked for.
#include <memory>
#include <string>
#include <utility>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"

namespace arc {

class IncompleteSetReader : public ArchiveReader {
 public:
  IncompleteSetReader(std::unique_ptr<ArchiveReader> inner, std::string missing)
      : inner_(std::move(inner)), missing_(std::move(missing)) {}

  bool Next(EntryInfo& info) override {
    if (ended_) return false;
    try {
      if (inner_->Next(info)) return true;
    } catch (const ArcError&) {
      // What follows lay in the missing volume.
    }
    ended_ = true;
    throw Missing();
  }

  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override {
    try {
      inner_->ReadData(sink);
    } catch (const ArcError&) {
      throw Missing();
    }
  }

  // Sizes cannot be added up first: the walk would stop at the gap before
  // any entry came out.
  bool ListsCheaply() const override { return false; }

 private:
  ArcError Missing() const { return ArcError(ERROR_UNEXPECTED_EOF, "missing volume " + missing_); }

  std::unique_ptr<ArchiveReader> inner_;
  std::string missing_;
  bool ended_ = false;
};

}  // namespace arc
