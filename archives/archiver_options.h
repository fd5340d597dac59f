// SPDX-License-Identifier: MIT
#pragma once
// The option set that goes with every archive operation. The switch
// properties carry the LHA library's switch names; each driver reads the ones
// its library understands.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "archives/not_set.h"
#include "archives/string_list.h"

enum TPackFilter : std::uint8_t { pfArchiver, pfComponent };

enum TResFileUse : std::uint8_t { ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate };

// A set of TResFileUse in one byte: bit n stands for the member of ordinal n.
struct TResFileUsage {
  std::uint8_t bits = 0;

  TResFileUsage() = default;
  TResFileUsage(std::initializer_list<TResFileUse> members) {
    for (TResFileUse m : members) Include(m);
  }
  bool Contains(TResFileUse m) const { return (bits >> m) & 1u; }
  void Include(TResFileUse m) { bits = static_cast<std::uint8_t>(bits | (1u << m)); }
  void Exclude(TResFileUse m) { bits = static_cast<std::uint8_t>(bits & ~(1u << m)); }
  bool operator==(const TResFileUsage&) const = default;
};

// Switch properties hold -1 for "switch absent"; string switches hold kNotSet.
class TArchiverOptions {
 public:
  using Switch = std::int8_t;

  TArchiverOptions() { Reset(); }
  virtual ~TArchiverOptions() = default;

  // Every property back to its value after construction; jx stays the same
  // list object, emptied.
  void Reset();
  // Copies every property onto `dest`; dest keeps its own jx list, whose
  // entries are replaced by copies of this one's.
  virtual void CopyTo(TArchiverOptions& dest) const;

  Switch a, c, e, f, h, i, l, m, n, o, p, r, s, t, u;
  std::string w;
  Switch x, y, z, jc, jd, je, jf, jh, ji, jm, jn;
  std::string jo, job;
  Switch jp, jr, jss, jw;
  TStringList jx;
  Switch jyc, jyd, jyk, jyn, jyo;
  std::string jz;
  Switch ga, gd, ge, gf, gj, gm, gn, go, gp;
  std::string gr;
  Switch gs, gu, gw;
  std::string UserOptions;
  std::string UserFileList;
  TPackFilter PackFilter;
  std::string ResFileName;
  TResFileUsage ResFileUsage;
};
