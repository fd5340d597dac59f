// SPDX-License-Identifier: MIT
// Names from every platform: archives made at test time by the tools of
// Windows, macOS and Linux users (and their ways of coding names) hold
// "曲ソ表/譜面ガ.bms" and a sound file. The names our libraries write must
// be the ones the reference extractor writes, in one (composed) form.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"
#include "platform/nfc.h"
#include "tests/support/rar_writer.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;

// ソ and 表 end in the byte of "\"; ガ decomposes on macOS.
const std::string kChart = "曲ソ表/譜面ガ.bms";
const std::string kSound = "曲ソ表/音.wav";
const std::string kChartNfd = "曲ソ表/譜面カ\u3099.bms";
const std::string kUtf8 = "LC_ALL=C.UTF-8 ";

// A Python zipfile script: `entries` are (name bytes as a Python expression,
// file) pairs; `flags`, `host` and `extra` go into every entry, and `post`
// (Python) may rewrite the finished bytes `b`.
std::string PythonZipScript(const std::string& entries, const std::string& flags, int host, const std::string& extra = "b''",
                      const std::string& post = "") {
  return "import zipfile, zlib, struct\n"
         "class Info(zipfile.ZipInfo):\n"
         "    def _encodeFilenameFlags(self):\n"
         "        return self.raw, self.flag_bits | " + flags + "\n"
         "def up(s): return struct.pack('<I', zlib.crc32(s))\n"
         "with zipfile.ZipFile('../a.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
         "    for raw, f in [" + entries + "]:\n"
         "        i = Info('x', date_time=(2024, 5, 3, 12, 0, 0))\n"
         "        i.raw = raw\n"
         "        i.create_system = " + std::to_string(host) + "\n"
         "        i.compress_type = zipfile.ZIP_DEFLATED\n"
         "        i.extra = " + extra + "\n"
         "        z.writestr(i, open(f, 'rb').read())\n"
         "b = open('../a.zip', 'rb').read()\n" + post +
         "open('../a.zip', 'wb').write(b)\n";
}

const std::string kBothFiles = "('" + kChart + "'.encode(), '" + kChart + "'), ('" + kSound + "'.encode(), '" + kSound + "')";
const std::string kCp932Files = "('" + kChart + "'.encode('cp932'), '" + kChart + "'), ('" + kSound +
                                "'.encode('cp932'), '" + kSound + "')";
const std::string kNfdFiles = "('" + kChartNfd + "'.encode(), '" + kChart + "'), ('" + kSound + "'.encode(), '" + kSound + "')";
// WinZip and Info-ZIP on Windows: CP932 names with the UTF-8 form in an
// Info-ZIP Unicode Path field (the raw name is the variable `raw`).
const std::string kUnicodePath =
    "(lambda u: struct.pack('<HHB', 0x7075, 5 + len(u), 1) + up(raw) + u)(raw.decode('cp932').encode())";
// Tools that always write a ZIP64 end record, behind a self-extractor stub:
// the stub's offsets are left as for the archive alone.
const std::string kZip64Sfx =
    "e = b.rindex(b'PK\\x05\\x06')\n"
    "n, size, off = struct.unpack('<HII', b[e + 10:e + 20])\n"
    "z64 = struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 45, 45, 0, 0, n, n, size, off)\n"
    "loc = struct.pack('<IIQI', 0x07064b50, 0, e, 1)\n"
    "open('../plain.zip', 'wb').write(b[:e] + z64 + loc + b[e:])\n"
    "b = b'#!/bin/sh\\nexit 0\\n' + b'\\0' * 4080 + b[:e] + z64 + loc + b[e:]\n";

struct Case {
  const char* name;
  const char* library;
  const char* prefix;
  std::string archive;
  std::function<void(const std::string& dir)> make;  // writes `archive` into dir
  std::string reference;                             // run in ref/, extracts ../<archive>
  std::string line;                                  // %A archive, %D destination
};

std::function<void(const std::string&)> InSrc(const std::string& command) {
  return [command](const std::string& dir) { ASSERT_EQ(Shell(dir + "src", command), 0) << command; };
}

std::function<void(const std::string&)> PythonZip(const std::string& entries, const std::string& flags, int host,
                                                  const std::string& extra = "b''", const std::string& post = "") {
  const std::string script = PythonZipScript(entries, flags, host, extra, post);
  return [script](const std::string& dir) {
    test_support::WriteBytes(dir + "make.py", script);
    ASSERT_EQ(Shell(dir + "src", "python3 ../make.py"), 0) << script;
  };
}

// A stored RAR 4 from the test writer: names from Windows with a packed
// Unicode form, or raw UTF-8 from a Unix host.
std::function<void(const std::string&)> Rar(bool unixHost) {
  return [unixHost](const std::string& dir) {
    std::vector<test_support::RarEntry> entries;
    for (const std::string& n : {kChart, kSound}) {
      test_support::RarEntry e;
      e.data = test_support::ReadBytes(dir + "src/" + n);
      if (unixHost) {
        e.name = n;
        for (char& c : e.name)
          if (c == '/') c = '\\';  // RAR 4 separates folders with "\\" whatever the host
        e.host = 3;
      } else {
        e.name = "???\\" + n.substr(n.find('/') + 1);
        for (char& c : e.name)
          if (c & 0x80) c = '?';
        std::u16string u;
        for (std::size_t i = 0; i < n.size();) {
          unsigned char c = static_cast<unsigned char>(n[i]);
          std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
          char32_t cp = len == 1 ? c : c & (0x7F >> len);
          for (std::size_t k = 1; k < len; ++k) cp = cp << 6 | (n[i + k] & 0x3F);
          u += cp == '/' ? u'\\' : static_cast<char16_t>(cp);
          i += len;
        }
        e.unicode = u;
      }
      entries.push_back(e);
    }
    test_support::WriteBytes(dir + "a.rar", test_support::WriteRar4(entries));
  };
}

const char* kZipLine = "-x  \"%A\" \"%D\" ";
const char* kRarLine = "-x  \"%A\" \"%D\" ";

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class NamesTest : public ::testing::TestWithParam<Case> {};

// The reference's names, composed: bsdtar and unar write what is stored.
std::map<std::string, std::string> Composed(const std::map<std::string, std::string>& files) {
  std::map<std::string, std::string> out;
  for (auto& [n, b] : files) out[platform::ToNfc(n)] = b;
  return out;
}

std::vector<std::string> NamesOf(const std::map<std::string, std::string>& files) {
  std::vector<std::string> names;
  for (auto& [n, b] : files) names.push_back(n);
  return names;
}

TEST_P(NamesTest, WritesTheReferenceNamesComposed) {
  const Case& c = GetParam();
  test_support::TempDir dir;
  const std::string chart = "#TITLE x\r\n", sound = test_support::NoiseBytes(5000, 3);
  dir.Write("src/" + kChart, chart);
  dir.Write("src/" + kSound, sound);
  c.make(dir.Path());
  if (::testing::Test::HasFatalFailure()) return;
  ASSERT_EQ(Shell(dir.Path(), "mkdir ref && cd ref && " + c.reference), 0) << c.reference;
  const std::map<std::string, std::string> expected = {{kChart, chart}, {kSound, sound}};
  EXPECT_EQ(NamesOf(Composed(FilesUnder(dir.Path() + "ref"))), NamesOf(expected)) << "the reference disagrees";

  ArcLibrary lib(c.library, c.prefix);
  ASSERT_TRUE(lib.Loaded()) << c.library;
  // The library gets CP932 paths; the scratch folder is ASCII.
  ASSERT_EQ(lib.Command(test_support::FillCommandLine(c.line, dir.Path() + c.archive, dir.Path() + "out/")), 0);
  auto out = FilesUnder(dir.Path() + "out");
  EXPECT_EQ(NamesOf(out), NamesOf(expected));
  EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, NamesTest,
    ::testing::Values(
        Case{"python_utf8_flag", "UNZIP32.DLL", "UnZip", "a.zip", PythonZip(kBothFiles, "0x800", 0),
             kUtf8 + "bsdtar -xf ../a.zip", kZipLine},
        Case{"linux_zip_unflagged_utf8", "UNZIP32.DLL", "UnZip", "a.zip", PythonZip(kBothFiles, "0", 3),
             kUtf8 + "bsdtar -xf ../a.zip", kZipLine},
        Case{"macos_finder_nfd", "UNZIP32.DLL", "UnZip", "a.zip", PythonZip(kNfdFiles, "0", 19),
             kUtf8 + "bsdtar -xf ../a.zip", kZipLine},
        Case{"winzip_unicode_path", "UNZIP32.DLL", "UnZip", "a.zip",
             PythonZip(kCp932Files, "0", 0, kUnicodePath), kUtf8 + "bsdtar -xf ../a.zip", kZipLine},
        Case{"zip64_end_behind_stub", "UNZIP32.DLL", "UnZip", "a.zip",
             PythonZip(kBothFiles, "0x800", 0, "b''", kZip64Sfx), // The references misread a ZIP64 archive behind a stub: 7-Zip reads the
             // same archive without it.
             kUtf8 + "7zz x -y -bso0 -bsp0 ../plain.zip", kZipLine},
        Case{"sevenzip_mcu", "UNZIP32.DLL", "UnZip", "a.zip",
             InSrc(kUtf8 + "7zz a -tzip -mcu=on -bso0 -bsp0 ../a.zip '" + kChart + "' '" + kSound + "'"),
             kUtf8 + "7zz x -y -bso0 -bsp0 ../a.zip", kZipLine},
        Case{"tar_nfd", "tar32.dll", "Tar", "a.tar",
             InSrc("mkdir -p '../nfd/曲ソ表' && cp '" + kChart + "' '../nfd/" + kChartNfd + "' && cp '" + kSound +
                   "' '../nfd/" + kSound + "' && cd ../nfd && " + kUtf8 + "bsdtar -cf ../a.tar *"),
             kUtf8 + "bsdtar -xf ../a.tar", "x --use-directory=1  -f \"%A\" -o \"%D\" "},
        Case{"rar_packed_unicode", "UNRAR32.DLL", "Unrar", "a.rar", Rar(false), "unar -q -D ../a.rar", kRarLine},
        Case{"rar_unix_utf8", "UNRAR32.DLL", "Unrar", "a.rar", Rar(true), "unar -q -D -e UTF-8 ../a.rar", kRarLine}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
