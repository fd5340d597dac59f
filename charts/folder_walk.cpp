// SPDX-License-Identifier: MIT
#include "charts/folder_walk.h"

#include <algorithm>
#include <utility>

#include "archivers/shared/volume_names.h"
#include "charts/chart_extensions.h"
#include "charts/text_collator.h"
#include "drivers/detect_type.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Files of one folder in the file list's order; names equal to the
// collation keep a fixed order by their bytes, then by their names on disk
// (two twins: one CP932 name).
void SortForList(std::vector<platform::FoundFile>& files) {
  const TextCollator& collator = TextCollator::JapaneseIgnoringCase();
  std::vector<std::pair<std::string, platform::FoundFile>> keyed;
  keyed.reserve(files.size());
  for (platform::FoundFile& f : files) keyed.emplace_back(collator.SortKey(f.name), std::move(f));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    if (a.second.name != b.second.name) return a.second.name < b.second.name;
    return a.second.fsName < b.second.fsName;
  });
  for (std::size_t i = 0; i < files.size(); ++i) files[i] = std::move(keyed[i].second);
}

bool HasExtension(const std::string& lowerName, const std::vector<std::string>& extensions) {
  const std::string ext = platform::ExtractFileExt(lowerName);
  return !ext.empty() && std::find(extensions.begin(), extensions.end(), ext.substr(1)) != extensions.end();
}

struct Pending {
  std::string path;   // CP932 with trailing delimiter
  std::string shown;  // below the dropped folder; "" at its top
  int depth = 0;
};

class Walk {
 public:
  Walk(const std::vector<std::string>& extensions, bool withArchives,
       const std::function<bool(const std::string&)>& onFolder)
      : withArchives_(withArchives), onFolder_(onFolder), others_(AllChartExtensions()) {
    for (const std::string& e : extensions) extensions_.push_back(platform::AsciiLower(e));
    std::erase_if(others_, [this](const std::string& e) { return HasExtension("." + e, extensions_); });
  }

  FolderContents Run(const std::string& folder) {
    const std::string top = platform::IncludeTrailingDelimiter(folder);
    std::string name = platform::ExtractFileName(top.substr(0, top.size() - 1));
    topName_ = name.empty() ? top : name;
    std::vector<Pending> stack{{top, "", 0}};
    while (!stack.empty()) {
      Pending p = std::move(stack.back());
      stack.pop_back();
      if (onFolder_ && !onFolder_(p.path)) {
        contents_.stopped = true;
        break;
      }
      std::vector<Pending> below = Visit(p);
      // Popped from the back: the first in name order goes next.
      for (auto it = below.rbegin(); it != below.rend(); ++it) stack.push_back(std::move(*it));
    }
    std::sort(otherKinds_.begin(), otherKinds_.end());
    contents_.otherKinds = std::move(otherKinds_);
    return std::move(contents_);
  }

 private:
  std::vector<Pending> Visit(const Pending& p) {
    ChartFolder here;
    here.path = p.path;
    here.shown = p.shown.empty() ? topName_ : p.shown;
    std::vector<std::string> unlistedFolders;
    std::vector<platform::FoundFile> folders, archives;
    for (platform::FoundFile& f : platform::FindFiles(p.path, std::vector<std::string>{"*"}, &here.unlisted, &unlistedFolders)) {
      if (f.hidden) continue;
      if (f.directory) {
        if (!f.link) folders.push_back(std::move(f));
        continue;
      }
      const std::string lower = platform::AsciiLower(f.name);
      if (HasExtension(lower, extensions_)) {
        here.charts.push_back(std::move(f));
      } else if (IsArchiveName(lower)) {
        if (withArchives_)
          archives.push_back(std::move(f));
        else
          ++contents_.archivesLeft;
      } else {
        NoteOtherKind(lower);
      }
    }
    // Names that could not be listed: only those that would have been read.
    // They are UTF-8, whose bytes a CP932 walk would misread: the
    // extension (ASCII) is taken from the last dot.
    std::erase_if(here.unlisted, [this](const std::string& n) {
      const std::size_t dot = n.rfind('.');
      if (n.empty() || n[0] == '.' || dot == std::string::npos) return true;
      const std::string lower = "x" + platform::AsciiLower(n.substr(dot));
      return !(HasExtension(lower, extensions_) || IsArchiveName(lower));
    });
    for (const std::string& n : unlistedFolders)
      if (!n.empty() && n[0] != '.') {
        here.unlisted.push_back(n + platform::kPathDelimiter);
        ++here.unlistedFolders;
      }
    SortForList(here.charts);
    SortForList(archives);
    SortForList(folders);
    for (const platform::FoundFile& a : archives) contents_.archives.push_back(p.path + a.name);
    contents_.chartCount += here.charts.size();
    if (!here.charts.empty() || !here.unlisted.empty()) contents_.folders.push_back(std::move(here));

    std::vector<Pending> below;
    if (folders.empty()) return below;
    if (p.depth >= kMaxFolderDepth) {
      contents_.tooDeep = true;
      return below;
    }
    for (const platform::FoundFile& f : folders)
      below.push_back({p.path + f.name + platform::kPathDelimiter,
                       p.shown.empty() ? f.name : p.shown + platform::kPathDelimiter + f.name, p.depth + 1});
    return below;
  }

  void NoteOtherKind(const std::string& lowerName) {
    const std::string ext = platform::ExtractFileExt(lowerName);
    if (ext.size() < 2) return;
    const std::string kind = ext.substr(1);
    if (std::find(others_.begin(), others_.end(), kind) != others_.end() &&
        std::find(otherKinds_.begin(), otherKinds_.end(), kind) == otherKinds_.end())
      otherKinds_.push_back(kind);
  }

  bool withArchives_;
  const std::function<bool(const std::string&)>& onFolder_;
  std::vector<std::string> extensions_;  // lower case, no dot
  std::vector<std::string> others_;      // the chart kinds not asked for
  std::vector<std::string> otherKinds_;
  std::string topName_;
  FolderContents contents_;
};

}  // namespace

bool IsArchiveName(const std::string& name) {
  const std::string lower = platform::AsciiLower(name);
  const std::string ext = platform::ExtractFileExt(lower);
  if (ext.size() < 2) return false;
  // A raw split set: only its first volume is opened.
  if (AllDigits(std::string_view(ext).substr(1))) return ext == ".001";
  static const std::vector<std::string> known = ArchiveExtensions();
  if (std::find(known.begin(), known.end(), ext) == known.end()) return false;
  // "song.part2.rar" and on: the first part opens the rest.
  return ext != ".rar" || !arc::IsLaterVolume(lower);
}

FolderContents WalkDroppedFolder(const std::string& folder, const std::vector<std::string>& extensions,
                                 bool withArchives, const std::function<bool(const std::string&)>& onFolder) {
  return Walk(extensions, withArchives, onFolder).Run(folder);
}
