// SPDX-License-Identifier: MIT
// Writes the C++ source of the Japanese collation's image (see
// charts/japanese_collation.h) to the file named by the argument.
#include <unicode/ucol.h>
#include <unicode/uversion.h>

#include <cstdio>
#include <vector>

#include "charts/japanese_collation.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_collation OUTPUT.cpp\n");
    return 2;
  }
  UCollator* collator = BuildJapaneseCollation();
  UErrorCode status = U_ZERO_ERROR;
  int32_t size = ucol_cloneBinary(collator, nullptr, 0, &status);
  std::vector<unsigned char> image(size > 0 ? static_cast<std::size_t>(size) : 0);
  status = U_ZERO_ERROR;
  if (size > 0) ucol_cloneBinary(collator, image.data(), size, &status);
  ucol_close(collator);
  // Without an image the program builds the rules at run time, as before.
  if (U_FAILURE(status)) image.clear();
  char version[U_MAX_VERSION_STRING_LENGTH];
  UVersionInfo info;
  u_getVersion(info);
  u_versionToString(info, version);

  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "// Made by make_collation; not to be edited.\n#include \"charts/japanese_collation_image.h\"\n\n");
  std::fprintf(out, "const char kJapaneseCollationIcuVersion[] = \"%s\";\n", version);
  std::fprintf(out, "const std::size_t kJapaneseCollationImageSize = %zu;\n", image.size());
  // Aligned as ICU reads its images.
  std::fprintf(out, "alignas(16) const std::uint8_t kJapaneseCollationImage[] = {");
  for (std::size_t i = 0; i < image.size(); ++i) std::fprintf(out, "%s%u,", i % 24 == 0 ? "\n" : "", image[i]);
  std::fprintf(out, "%s};\n", image.empty() ? "0" : "\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
