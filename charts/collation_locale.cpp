// The collation locale named by the environment, the same on every system.
#include <string>

#include "charts/text_collator.h"

std::string CollationLocaleFor(const char* lcAll, const char* lcCollate, const char* lang) {
  const char* chosen = nullptr;
  for (const char* v : {lcAll, lcCollate, lang})
    if (v && *v) {
      chosen = v;
      break;
    }
  if (!chosen) return {};
  std::string name(chosen);
  name = name.substr(0, name.find_first_of(".@"));
  if (name == "C" || name == "POSIX") return {};
  return name;
}
