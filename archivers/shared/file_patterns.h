#pragma once
// File lists on command lines match entries the Windows way: ASCII letters
// without regard to case, "*" and "?" over whole CP932 characters, "*.*"
// matching every name. "\" in a pattern means "/". A pattern without a
// folder part matches the entry's file name in any folder; one with a
// folder part matches the whole entry name.
#include <string>
#include <vector>

namespace arc {

bool PatternMatches(const std::string& displayName, const std::string& pattern);

// True when `displayName` (CP932, "/" between folders) is selected: it
// matches one of `include` (or `include` is empty) and none of `exclude`.
bool EntrySelected(const std::string& displayName, const std::vector<std::string>& include,
                   const std::vector<std::string>& exclude);

}  // namespace arc
