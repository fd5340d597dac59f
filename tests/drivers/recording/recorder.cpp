// SPDX-License-Identifier: MIT
#include "tests/drivers/recording/recorder.h"

#include <map>
#include <mutex>
#include <utility>

namespace recorder {

namespace {
struct State {
  std::mutex m;
  std::vector<Call> calls;
  std::map<std::pair<std::string, std::string>, int> answers;
  std::map<std::string, std::uint32_t> owners;
  int progressState = -1;
};
State& S() {
  static State s;
  return s;
}
}  // namespace

void Clear() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.m);
  s.calls.clear();
  s.answers.clear();
  s.owners.clear();
  s.progressState = -1;
}

void Record(const Call& call) {
  std::lock_guard<std::mutex> lock(S().m);
  S().calls.push_back(call);
}

std::vector<Call> Calls() {
  std::lock_guard<std::mutex> lock(S().m);
  return S().calls;
}

void SetAnswer(const std::string& lib, const std::string& entry, int value) {
  std::lock_guard<std::mutex> lock(S().m);
  S().answers[{lib, entry}] = value;
}

int Answer(const std::string& lib, const std::string& entry, int fallback) {
  std::lock_guard<std::mutex> lock(S().m);
  auto it = S().answers.find({lib, entry});
  return it == S().answers.end() ? fallback : it->second;
}

void SetOwner(const std::string& lib, std::uint32_t wnd) {
  std::lock_guard<std::mutex> lock(S().m);
  S().owners[lib] = wnd;
}

std::uint32_t Owner(const std::string& lib) {
  std::lock_guard<std::mutex> lock(S().m);
  auto it = S().owners.find(lib);
  return it == S().owners.end() ? 0 : it->second;
}

void SetProgressState(int state) {
  std::lock_guard<std::mutex> lock(S().m);
  S().progressState = state;
}

int ProgressState() {
  std::lock_guard<std::mutex> lock(S().m);
  return S().progressState;
}

}  // namespace recorder
