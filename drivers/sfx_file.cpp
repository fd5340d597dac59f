// SPDX-License-Identifier: MIT
#include "drivers/sfx_file.h"

#include <vector>

#include "archives/join_path.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#include "platform/replacement_file.h"

std::string SfxOutputName(const std::string& arcFileName, const std::string& baseDir) {
  std::string name = platform::ChangeFileExt(arcFileName, ".EXE");
  if (!baseDir.empty()) name = JoinPath(baseDir, platform::ExtractFileName(name));
  return name;
}

void WriteSfxFile(const std::string& stubPath, const std::string& arcFileName, const std::string& outName) {
  platform::InputFile archive(arcFileName);
  platform::InputFile stub(stubPath);
  platform::ReplacementFile out(outName);
  std::vector<char> buf(1 << 16);
  for (platform::InputFile* in : {&stub, &archive}) {
    while (std::size_t n = in->Read(buf.data(), buf.size())) out.Write(buf.data(), n);
  }
  out.Commit();
}
