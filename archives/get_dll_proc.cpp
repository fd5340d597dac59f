// SPDX-License-Identifier: MIT
#include "archives/get_dll_proc.h"

#include "archives/earchiver.h"

void* GetDLLProc(platform::ModuleHandle module, const char* name) {
  if (void* proc = platform::GetProcAddress(module, name)) return proc;
  // The platform hands the name over in a 257-byte buffer.
  std::string path = platform::GetModuleFileName(module).substr(0, 256);
  throw EArchiver(path + Cp932Text(" に ") + name + Cp932Text(" のエントリが見つかりません。"));
}
