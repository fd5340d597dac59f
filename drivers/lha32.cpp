#include "drivers/lha32.h"

#include "drivers/family_dll.h"

#include <utility>

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("UNLHA32.DLL", "Unlha", "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
  return dll;
}
}  // namespace

void TLha32::LoadDLL() { Dll().LoadDLL(); }
void TLha32::FreeDLL() { Dll().FreeDLL(); }
TFamilyDll& TLha32::ModuleDll() const { return Dll(); }

std::string TLha32::BuildLhaCommand(const char* word, const std::string& arcFileName, const TArchiverOptions& o,
                                    const std::string& baseDir, const TStringList* files, bool useResFile) const {
  TCmdOpt cmd;
  cmd.Add("-+");
  for (auto [name, v] : {std::pair{"a", o.a}, {"c", o.c}, {"e", o.e}, {"f", o.f}, {"h", o.h}, {"i", o.i},
                         {"l", o.l}, {"m", o.m}})
    cmd.AddInt(name, v);
  // The library reports progress to a registered window only with n1.
  cmd.AddInt("n", FOwnerWnd != 0 ? 1 : o.n);
  for (auto [name, v] : {std::pair{"o", o.o}, {"p", o.p}, {"r", o.r}, {"s", o.s}, {"t", o.t}, {"u", o.u}})
    cmd.AddInt(name, v);
  cmd.AddDir("w", o.w);
  for (auto [name, v] : {std::pair{"x", o.x}, {"y", o.y}, {"z", o.z}, {"jc", o.jc}, {"jd", o.jd}, {"je", o.je},
                         {"jf", o.jf}, {"jh", o.jh}, {"ji", o.ji}, {"jm", o.jm}, {"jn", o.jn}})
    cmd.AddInt(name, v);
  cmd.AddStr("jo", o.jo);
  cmd.AddStr("job", o.job);
  for (auto [name, v] : {std::pair{"jp", o.jp}, {"jr", o.jr}, {"jss", o.jss}, {"jw", o.jw}}) cmd.AddInt(name, v);
  cmd.AddFileList("jx", o.jx);
  for (auto [name, v] : {std::pair{"jyc", o.jyc}, {"jyd", o.jyd}, {"jyk", o.jyk}, {"jyn", o.jyn}, {"jyo", o.jyo}})
    cmd.AddInt(name, v);
  cmd.AddStr("jz", o.jz);
  for (auto [name, v] : {std::pair{"ga", o.ga}, {"gd", o.gd}, {"ge", o.ge}, {"gf", o.gf}, {"gj", o.gj},
                         {"gm", o.gm}, {"gn", o.gn}, {"go", o.go}, {"gp", o.gp}})
    cmd.AddInt(name, v);
  cmd.AddStr("gr", o.gr);
  for (auto [name, v] : {std::pair{"gs", o.gs}, {"gu", o.gu}, {"gw", o.gw}}) cmd.AddInt(name, v);
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, arcFileName, baseDir);
  AddFiles(cmd, o, files, useResFile);
  return word + cmd.CommandText;
}

int TLha32::Run(TFamilyDll& dll, WindowHandle wnd, std::string cmdLine, std::string& output) {
  FCmdLine = std::move(cmdLine);
  return dll.Command(wnd, FCmdLine, output);
}

// The LHA driver decides the response file from the options itself; the
// component passes the same answer as `useResFile`.
int TLha32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  return Run(Dll(), wnd, BuildLhaCommand("x", arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnUnpack)), output);
}

int TLha32::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                 const TStringList* files, bool, std::string& output) {
  return Run(Dll(), wnd, BuildLhaCommand("u", arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnPack)), output);
}

int TLha32::RemoveItem(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string&,
                       const TStringList* files, bool, std::string& output) {
  return Run(Dll(), wnd, BuildLhaCommand("d", arc, o, "", files, o.ResFileUsage.Contains(ruOnRemoveItem)), output);
}

int TLha32::Update(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  return Run(Dll(), wnd, BuildLhaCommand("f", arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnUpdate)), output);
}

int TLha32::MakeSFX(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                    std::string& output) {
  return Run(Dll(), wnd, BuildLhaCommand("s", arc, o, baseDir, nullptr, false), output);
}

bool IsLhaArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
