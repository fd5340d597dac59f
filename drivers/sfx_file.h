// SPDX-License-Identifier: MIT
#pragma once
// Self-extracting archives made by joining a stub program and the archive.
#include <string>

// The archive's name with the extension ".EXE" (appended when there is none),
// moved into `baseDir` when one is given.
std::string SfxOutputName(const std::string& arcFileName, const std::string& baseDir);

// Writes the stub followed by the archive to `outName`. The output appears
// only when complete, so a failed copy leaves no half-written program and an
// archive that already bears the output name is read whole before it is
// replaced. File errors propagate as EInOutError.
void WriteSfxFile(const std::string& stubPath, const std::string& arcFileName, const std::string& outName);
