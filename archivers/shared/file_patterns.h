// SPDX-License-Identifier: MIT
#pragma once
// File lists on command lines match entries the Windows way: ASCII letters
// without regard to case, "*" and "?" over whole CP932 characters, "*.*"
// matching every name. "\" in a pattern means "/". A pattern without a
// folder part matches the entry's file name in any folder; one with a
// folder part matches the whole entry name. A pattern CP932 cannot hold
// (the marked UTF-8 form of platform/path_text.h, from a library in Unicode
// mode) matches the entry's UTF-8 name instead, character by character.
#include <string>
#include <vector>

namespace arc {

bool PatternMatches(const std::string& displayName, const std::string& pattern);

// True when `displayName` (CP932, "/" between folders) is selected: it
// matches one of `include` (or `include` is empty) and none of `exclude`.
bool EntrySelected(const std::string& displayName, const std::vector<std::string>& include,
                   const std::vector<std::string>& exclude, const std::string& utf8Name = {});

// The lists of one request, prepared once for the many entries of an
// archive.
class EntrySelection {
 public:
  EntrySelection(const std::vector<std::string>& include, const std::vector<std::string>& exclude);

  // True when the entry can be told apart as not selected from its name as
  // stored (CP932, or UTF-8 when `isUtf8`), before its display name is
  // made: every include pattern is "*.<ext>" and the name does not end in
  // any of these extensions. False means only "match it in full".
  bool RuledOut(const std::string& storedName, bool isUtf8) const;
  // EntrySelected for this request's lists. `utf8Name` (Utf8DisplayName)
  // is needed only when NeedsUtf8Name().
  bool Selects(const std::string& displayName, const std::string& utf8Name = {}) const;
  bool NeedsUtf8Name() const { return needsUtf8Name_; }

 private:
  struct Pattern {
    std::string mask;
    bool wholeName = false;  // has a folder part
    bool utf8 = false;       // matched against the UTF-8 name
  };
  static bool Matches(const std::string& displayName, const std::string& utf8Name, const Pattern& p);

  std::vector<Pattern> include_, exclude_;
  std::vector<std::string> extensions_;  // ".EXT" of every include pattern when all are "*.<ext>"
  std::size_t longestExtension_ = 0;
  bool needsUtf8Name_ = false;
};

}  // namespace arc
