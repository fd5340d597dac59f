// SPDX-License-Identifier: MIT
#pragma once
// Why an archive of a drop gave fewer rows than it should, or none: the
// list itself stays silent about it, so the window and bmslist-cli tell the
// user elsewhere, in plain words.
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveProblem {
  std::string archivePath;               // as dropped: CP932, or a marked UTF-8 path (platform/path_text.h)
  std::string fsPath;                    // the file system's (UTF-8) form, when CP932 cannot hold it
  std::vector<std::string> reasons;      // CP932, plain words
  std::vector<std::string> unlistedNames;  // file-system (UTF-8) names CP932 cannot hold
  // File-system (UTF-8) names of files the working folder's clean-up could
  // not delete; the drop goes on in a fresh working folder.
  std::vector<std::string> undeletableNames;
};

// A reason as the problem keeps it (CP932), from the text written in the
// source (UTF-8).
std::string Reason(const std::string& utf8);

// The reason an archiver library's result code stands for; "" for success.
std::string ExtractResultReason(std::int32_t code);

// Every reason of the problem in one line, "; " between them (UTF-8).
std::string ProblemReasonsText(const ArchiveProblem& problem);

// The archive as the user named it (UTF-8): the file system's form where
// code page 932 cannot hold the name.
std::string ProblemPathText(const ArchiveProblem& problem);
