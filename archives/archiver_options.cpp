// SPDX-License-Identifier: MIT
#include "archives/archiver_options.h"

void TArchiverOptions::Reset() {
  for (Switch* sw : {&a, &c, &e, &f, &h, &i, &l, &m, &n, &o, &p, &r, &s, &t, &u, &x, &y, &z, &jc, &jd, &je, &jf, &jh,
                     &ji, &jm, &jn, &jp, &jr, &jss, &jw, &jyc, &jyd, &jyk, &jyn, &jyo, &ga, &gd, &ge, &gf, &gj, &gm,
                     &gn, &go, &gp, &gs, &gu, &gw})
    *sw = -1;
  for (std::string* str : {&w, &jo, &job, &jz, &gr}) *str = kNotSet;
  jx.clear();
  UserOptions.clear();
  UserFileList.clear();
  PackFilter = pfArchiver;
  ResFileName.clear();
  ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem};
}

void TArchiverOptions::CopyTo(TArchiverOptions& dest) const {
  if (&dest == this) return;
  dest.a = a, dest.c = c, dest.e = e, dest.f = f, dest.h = h, dest.i = i, dest.l = l, dest.m = m;
  dest.n = n, dest.o = o, dest.p = p, dest.r = r, dest.s = s, dest.t = t, dest.u = u;
  dest.w = w;
  dest.x = x, dest.y = y, dest.z = z, dest.jc = jc, dest.jd = jd, dest.je = je, dest.jf = jf, dest.jh = jh;
  dest.ji = ji, dest.jm = jm, dest.jn = jn;
  dest.jo = jo, dest.job = job;
  dest.jp = jp, dest.jr = jr, dest.jss = jss, dest.jw = jw;
  dest.jx.assign(jx.begin(), jx.end());
  dest.jyc = jyc, dest.jyd = jyd, dest.jyk = jyk, dest.jyn = jyn, dest.jyo = jyo;
  dest.jz = jz;
  dest.ga = ga, dest.gd = gd, dest.ge = ge, dest.gf = gf, dest.gj = gj, dest.gm = gm, dest.gn = gn, dest.go = go;
  dest.gp = gp;
  dest.gr = gr;
  dest.gs = gs, dest.gu = gu, dest.gw = gw;
  dest.UserOptions = UserOptions;
  dest.UserFileList = UserFileList;
  dest.PackFilter = PackFilter;
  dest.ResFileName = ResFileName;
  dest.ResFileUsage = ResFileUsage;
}
