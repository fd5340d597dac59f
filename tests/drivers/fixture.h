// SPDX-License-Identifier: MIT
#pragma once
// Shared set-up of the driver tests: libraries come only from one folder of
// recording libraries, every driver module starts unloaded, the log empty.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archives/earchiver.h"
#include "drivers/arj32.h"
#include "drivers/cab32.h"
#include "drivers/lha32.h"
#include "drivers/rar32.h"
#include "drivers/sevenzip.h"
#include "drivers/tar32.h"
#include "drivers/zip32.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/input_file.h"
#include "tests/drivers/recording/recorder.h"

inline void FreeAllLibraries() {
  TLha32::FreeDLL();
  TArj32::FreeDLL();
  TZip32::FreeDLL();
  TCab32::FreeDLL();
  TTar32::FreeDLL();
  TRar32::FreeDLL();
  TSevenZip::FreeDLL();
}

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override { UseLibraries("all"); }
  void TearDown() override {
    FreeAllLibraries();
    platform::SetLibrarySearchDirForTesting("", false);
  }
  // Switches to another folder of libraries, starting from scratch.
  void UseLibraries(const std::string& folder) {
    FreeAllLibraries();
    recorder::Clear();
    platform::SetLibrarySearchDirForTesting(std::string(REC_DIR) + "/" + folder, true);
  }
  static std::vector<recorder::Call> CallsTo(const std::string& entry) {
    std::vector<recorder::Call> out;
    for (auto& c : recorder::Calls())
      if (c.entry == entry) out.push_back(c);
    return out;
  }
  // The one command-line call made so far.
  static recorder::Call OnlyCommand() {
    std::vector<recorder::Call> out;
    for (auto& c : recorder::Calls())
      if (c.entry == "Unlha" || c.entry == "UnZip" || c.entry == "Unzip" || c.entry == "Zip" || c.entry == "Cab" ||
          c.entry == "Unarj" || c.entry == "Tar" || c.entry == "Unrar" || c.entry == "SevenZip")
        out.push_back(c);
    EXPECT_EQ(out.size(), 1u);
    return out.empty() ? recorder::Call{} : out.back();
  }
};

// Messages are compared as the CP932 bytes the layer produces.
inline std::string Sj(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// A whole file the drivers wrote, read through the platform layer (CP932 path).
inline std::string ReadWholeFile(const std::string& path) {
  platform::InputFile f(path);
  std::string s;
  char buf[256];
  while (std::size_t n = f.Read(buf, sizeof buf)) s.append(buf, n);
  return s;
}

#define EXPECT_ARCHIVER_ERROR(stmt, utf8)        \
  do {                                           \
    try {                                        \
      stmt;                                      \
      ADD_FAILURE() << "no EArchiver: " #stmt;   \
    } catch (const EArchiver& e) {               \
      EXPECT_EQ(std::string(e.what()), Sj(utf8)); \
    }                                            \
  } while (0)
