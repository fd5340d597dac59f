// SPDX-License-Identifier: MIT
#pragma once
// The creating commands of each dialect. A parser answers kNotCreating when
// the line is not one of its creating commands (the extracting dialect then
// takes it), 0 when `req` is filled, or the result code to return
// (ERROR_COMMAND_NAME for an unknown switch, ERROR_NOT_SUPPORT with
// req.refusal for a command this system cannot carry out).
#include <vector>

#include "archivers/shared/cmdline.h"
#include "archivers/shared/create_request.h"

namespace arc {

constexpr int kNotCreating = -1;

using CreatingParser = int (*)(const std::vector<CmdToken>& tokens, CreateRequest& req);

}  // namespace arc

namespace arc {

struct ExtractRequest;
// Moves the words PositionalArgs collected (archive, base folder, file
// list, exclusions) into a creating request.
void TakePositional(ExtractRequest& parsed, CreateRequest& req);

}  // namespace arc
