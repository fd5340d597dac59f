// SPDX-License-Identifier: MIT
#include "archivers/shared/update_plan.h"

#include <map>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/file_patterns.h"
#include "platform/cp932.h"

namespace arc {

std::string UpdateMessage(const CreateRequest& req, const UpdatePlan& plan, int added) {
  return req.mode == CreateMode::Delete ? std::to_string(plan.deleted) + " entries deleted"
                                        : std::to_string(added) + " files written";
}

std::string FoldedKey(const std::string& name) { return platform::AsciiLower(name); }

UpdatePlan PlanUpdate(const CreateRequest& req, const std::vector<StoredEntry>& stored,
                      const std::vector<SourceFile>& sources,
                      const std::function<std::string(const SourceFile&)>& sourceKey, int timeSlack) {
  UpdatePlan plan;
  if (req.mode == CreateMode::Delete) {
    for (std::size_t i = 0; i < stored.size(); ++i) {
      bool hit = false;
      for (const auto& p : req.source.patterns) hit |= PatternMatches(stored[i].displayName, p);
      if (hit) {
        ++plan.deleted;
        plan.changed = true;
      } else {
        plan.steps.push_back({static_cast<int>(i), nullptr});
      }
    }
    return plan;
  }
  std::map<std::string, const SourceFile*> byKey;
  std::vector<const SourceFile*> order;
  for (const auto& s : sources) {
    auto [it, fresh] = byKey.emplace(sourceKey(s), &s);
    if (fresh) order.push_back(&s);
  }
  std::map<std::string, bool> placed;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    auto it = byKey.find(stored[i].key);
    if (it == byKey.end() || placed[stored[i].key]) {
      // A second entry of a name already replaced stays as it is.
      plan.steps.push_back({static_cast<int>(i), nullptr});
      continue;
    }
    placed[stored[i].key] = true;
    bool newer = it->second->mtime - stored[i].mtime >= timeSlack;
    if (req.mode == CreateMode::Add || newer) {
      plan.steps.push_back({-1, it->second});
      plan.changed = true;
    } else {
      plan.steps.push_back({static_cast<int>(i), nullptr});
    }
  }
  if (req.mode != CreateMode::Freshen) {
    for (const SourceFile* s : order) {
      if (placed.count(sourceKey(*s))) continue;
      plan.steps.push_back({-1, s});
      plan.changed = true;
    }
  }
  return plan;
}

bool NothingToWrite(const CreateRequest& req, const UpdatePlan& plan, bool archiveExists, std::string& message) {
  if (req.mode == CreateMode::Delete && plan.deleted == 0)
    throw ArcError(ERROR_NOT_FIND_FILE, "no entry matches the file list");
  if (plan.changed) return false;
  if (!archiveExists) throw ArcError(ERROR_NOT_FIND_FILE, "no files to add");
  message = "archive up to date";
  return true;
}

}  // namespace arc
