// SPDX-License-Identifier: MIT
// The engine's locale scope on Windows, entered on several threads at once,
// as the two unpackings of a drop on two cores do around every entry: the
// CRT's locale changes must not race (they crashed the program now and
// then), and every thread must be in code page 932 inside the scope.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// The engine's own Windows definitions come first, as in the engine.
#include "archivers/shared/win32/engine_win32.h"
#include "archivers/shared/utf8_locale_scope.h"

namespace {

TEST(LocaleScope, ThreadsEnterAndLeaveItAtOnce) {
  constexpr int kThreads = 4, kRounds = 3000;
  std::vector<int> wrong(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < kRounds; ++i) {
        arc::Utf8LocaleScope scope;
        const char* inside = std::setlocale(LC_CTYPE, nullptr);
        if (!inside || !std::strstr(inside, "932")) ++wrong[t];
      }
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

}  // namespace
