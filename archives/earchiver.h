#pragma once
// The exception of the archive layer: a message (CP932) and nothing else.
#include <stdexcept>
#include <string>

class EArchiver : public std::runtime_error {
 public:
  explicit EArchiver(const std::string& message) : std::runtime_error(message) {}
};

// Messages are written here in UTF-8 for reading; the layer speaks CP932.
std::string Cp932Text(const char* utf8);
[[noreturn]] void RaiseArchiver(const char* utf8Message);
