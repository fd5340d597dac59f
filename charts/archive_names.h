#pragma once
// The files of one archive, by path from its top, as a chart names them:
// ASCII letter case ignored, "\" and "/" alike, and the substitutes players
// accept (a sound named ".wav" found as ".ogg", ".flac" or ".mp3", an image
// named ".bmp" found as ".png" or ".jpg", and so on within each group).
#include <string>
#include <string_view>
#include <unordered_set>

class ArchiveNames {
 public:
  // A CP932 path from the archive's top ("a/b.wav").
  void Add(std::string_view path);
  // Whether a file named `reference` (CP932, as a chart writes it) is there,
  // itself or one of its substitutes.
  bool Has(std::string_view reference) const;
  std::size_t Count() const { return names_.size(); }

  // The form names are compared in.
  static std::string Folded(std::string_view path);

 private:
  std::unordered_set<std::string> names_;
};
