// SPDX-License-Identifier: MIT
#pragma once
// The files of one archive, by path from its top, as a chart names them:
// ASCII letter case ignored, "\" and "/" alike, and the substitutes players
// accept (a sound named ".wav" found as ".ogg", ".flac" or ".mp3", an image
// named ".bmp" found as ".png" or ".jpg", and so on within each group).
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class ArchiveNames {
 public:
  // A CP932 path from the archive's top ("a/b.wav").
  void Add(std::string_view path);
  // Whether a file named `reference` (CP932, as a chart writes it, from the
  // folder `folder` of Folders) is there, itself or one of its substitutes.
  bool Has(std::string_view reference, std::string_view folder = {}) const;
  // The folders ("", "song/"...) holding a file named `fileName`: a chart
  // names its files from its own folder, and the charts are listed without
  // theirs. Just "" when no folder holds one.
  std::vector<std::string> Folders(std::string_view fileName) const;
  std::size_t Count() const { return names_.size(); }

  // The form names are compared in.
  static std::string Folded(std::string_view path);
  // Has, for a reference and folder already folded.
  bool HasFolded(const std::string& folder, const std::string& reference) const;

 private:
  std::unordered_set<std::string> names_;
  std::unordered_map<std::string, std::vector<std::string>> folders_;  // file name -> its folders
};
