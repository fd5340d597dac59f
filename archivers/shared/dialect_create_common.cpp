// SPDX-License-Identifier: MIT
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/extract_request.h"

namespace arc {

void TakePositional(ExtractRequest& parsed, CreateRequest& req) {
  req.archive = std::move(parsed.archive);
  req.source.baseDir = std::move(parsed.destDir);
  for (auto& p : parsed.include) req.source.patterns.push_back(std::move(p));
  for (auto& p : parsed.exclude) req.source.exclude.push_back(std::move(p));
}

}  // namespace arc
