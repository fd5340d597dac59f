// SPDX-License-Identifier: MIT
#include "drivers/lha32.h"

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

// The LHA driver decides the response file from the options itself; the
// component passes the same answer as `useResFile`. Every command goes to
// UNLHA32.DLL, also for TArj32, which extracts through a library of its own.
int TLha32::Run(const CommandRequest& r, std::string& output) {
  const TArchiverOptions& o = r.options;
  const char* word = nullptr;
  bool resFile = false;
  switch (r.command) {
    case ArcCommand::Unpack: word = "x", resFile = o.ResFileUsage.Contains(ruOnUnpack); break;
    case ArcCommand::Pack: word = "u", resFile = o.ResFileUsage.Contains(ruOnPack); break;
    case ArcCommand::RemoveItem: word = "d", resFile = o.ResFileUsage.Contains(ruOnRemoveItem); break;
    case ArcCommand::Update: word = "f", resFile = o.ResFileUsage.Contains(ruOnUpdate); break;
    case ArcCommand::MakeSFX: word = "s"; break;
  }
  // Deleting names no base folder.
  const std::string& baseDir = r.command == ArcCommand::RemoveItem ? std::string() : r.baseDir;
  FCmdLine = BuildLhaCommand(word, r.arcFileName, o, baseDir, r.files, resFile);
  return Module().Command(r.wnd, FCmdLine, output);
}

bool IsLhaArchive(const std::string& fileName) { return TLha32::Module().Recognises(fileName); }
