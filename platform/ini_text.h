// SPDX-License-Identifier: MIT
#pragma once
// The text of an INI file, read and edited with the rules of the Win32
// profile functions: section and key names match without regard to ASCII
// letter case (and surrounding blanks), values are trimmed and lose one pair
// of enclosing quotes, the first matching section and key win, and an edit
// keeps every other line byte for byte, line ends included.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniText {
 public:
  explicit IniText(std::string_view bytes);

  // The value of the key, or nullopt when the section or key is absent.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Sets the key, adding the section at the end or the key after the last
  // line of its section when they are missing. Names and value must not
  // contain line breaks (they would break the file apart): false then.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);

  std::string Bytes() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\n", "\r\n", or "" for a last line without one
  };
  // Index of the section's header line, or npos.
  std::size_t FindSection(std::string_view name) const;
  // Index of the key line inside the section that starts at `header`, or npos.
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  std::size_t SectionEnd(std::size_t header) const;  // the next header, or the end
  void InsertLine(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string newline_ = "\n";  // the file's own line end, for lines we add
};

}  // namespace platform
