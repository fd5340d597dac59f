#include "drivers/sfx_file.h"

#include <vector>

#include "archives/join_path.h"
#include "platform/file_writer.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/paths.h"

std::string SfxOutputName(const std::string& arcFileName, const std::string& baseDir) {
  std::string name = platform::ChangeFileExt(arcFileName, ".EXE");
  if (!baseDir.empty()) name = JoinPath(baseDir, platform::ExtractFileName(name));
  return name;
}

namespace {
void CopyAll(platform::InputFile& in, platform::FileWriter& out) {
  std::vector<char> buf(1 << 16);
  while (std::size_t n = in.Read(buf.data(), buf.size())) out.Write(buf.data(), n);
}
}  // namespace

void WriteSfxFile(const std::string& stubPath, const std::string& arcFileName, const std::string& outName) {
  platform::InputFile archive(arcFileName);
  platform::FileWriter out = platform::FileWriter::CreateBeside(outName);
  try {
    platform::InputFile stub(stubPath);
    CopyAll(stub, out);
    CopyAll(archive, out);
    out.Close();
    platform::ReplaceFile(out.Path(), outName);
  } catch (...) {
    platform::DeleteFile(out.Path());
    throw;
  }
}
