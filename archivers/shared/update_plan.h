// SPDX-License-Identifier: MIT
#pragma once
// How an archive changes under a creating command, whatever its format:
// which stored entries are kept as they are, which are replaced by files
// from disk (in place, so the order stays), and which files are appended.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "archivers/shared/create_request.h"

namespace arc {

struct StoredEntry {
  std::string key;          // name compared with files: case folded, one coding
  std::string displayName;  // CP932, for the file list of Delete
  std::time_t mtime = 0;
};

struct PlanStep {
  int keep = -1;                       // index into the stored entries, or
  const SourceFile* source = nullptr;  // the file that takes this place
};

struct UpdatePlan {
  std::vector<PlanStep> steps;
  bool changed = false;  // false: the archive would stay as it is
  int deleted = 0;
};

// `sourceKey` gives a file's key in the stored entries' terms;
// `timeSlack` is the timestamp granularity of the format in seconds
// (2 for MS-DOS times), below which a file does not count as newer.
UpdatePlan PlanUpdate(const CreateRequest& req, const std::vector<StoredEntry>& stored,
                      const std::vector<SourceFile>& sources,
                      const std::function<std::string(const SourceFile&)>& sourceKey, int timeSlack);

// Whether the plan leaves nothing to write: then `message` says the
// archive is up to date and the command succeeds without touching it.
// Throws ERROR_NOT_FIND_FILE for a delete that matches no entry, and for a
// command with nothing to add to an archive that does not exist.
bool NothingToWrite(const CreateRequest& req, const UpdatePlan& plan, bool archiveExists, std::string& message);

// What a written update says: the entries deleted, or the files written
// (`added`).
std::string UpdateMessage(const CreateRequest& req, const UpdatePlan& plan, int added);

// Lower-case ASCII letters: entries match files without regard to case.
std::string FoldedKey(const std::string& name);

}  // namespace arc
