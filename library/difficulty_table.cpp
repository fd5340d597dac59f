// SPDX-License-Identifier: MIT
#include "library/difficulty_table.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace library {

namespace {

using nlohmann::json;

// Tables run to a few thousand entries; anything far larger is no table.
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

std::string Utf8Of(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

std::filesystem::path PathOfUtf8(std::string_view s) {
  return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

std::string ReadFile(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec) throw TableError(Utf8Of(file) + ": cannot be read (" + ec.message() + ")");
  if (size > kMaxFileBytes) throw TableError(Utf8Of(file) + ": too large for a difficulty table");
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in && !in.eof()) throw TableError(Utf8Of(file) + ": cannot be read");
  std::string text = bytes.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  return text;
}

json ParseJson(const std::string& text, const std::filesystem::path& file) {
  // Not only syntax: a number past any double is out_of_range, not parse_error.
  try {
    return json::parse(text);
  } catch (const json::exception& e) {
    // nlohmann's message begins with its own exception id; the rest says where.
    std::string why = e.what();
    const std::size_t end = why.find("] ");
    if (why.rfind("[json.", 0) == 0 && end != std::string::npos) why.erase(0, end + 2);
    throw TableError(Utf8Of(file) + ": not valid JSON: " + why);
  }
}

// A name a table gives for its next file: relative to the file naming it. A
// URL (the site's address) stands for the file of its last part beside it,
// which is where a saved copy of the site puts it.
std::filesystem::path Beside(const std::filesystem::path& from, std::string name) {
  name = name.substr(0, name.find_first_of("?#"));
  if (name.find("://") != std::string::npos) name = name.substr(name.find_last_of('/') + 1);
  if (name.empty()) throw TableError(Utf8Of(from) + ": names no file to read next");
  return from.parent_path() / PathOfUtf8(name);
}

std::string LowerHex(const json& value, std::size_t length) {
  if (!value.is_string()) return {};
  std::string s = value.get<std::string>();
  if (s.size() != length) return {};
  for (char& c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return s;
}

// Levels come as text ("12") or as numbers (12, 0.5).
std::string TextOf(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer() || value.is_number_unsigned()) return value.dump();
  if (value.is_number_float()) {
    std::string s = value.dump();
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    return s;
  }
  return {};
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The value of attribute `name` in the tag text `tag` (lower-cased names);
// quoted with " or ', or bare.
bool AttributeValue(std::string_view tag, std::string_view lowerTag, std::string_view name, std::string& value) {
  std::size_t at = 0;
  while ((at = lowerTag.find(name, at)) != std::string_view::npos) {
    const bool startsWord = at > 0 && std::isspace(static_cast<unsigned char>(lowerTag[at - 1]));
    std::size_t p = at + name.size();
    at = p;
    if (!startsWord) continue;
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (p >= tag.size() || tag[p] != '=') continue;
    ++p;
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (p >= tag.size()) return false;
    if (tag[p] == '"' || tag[p] == '\'') {
      const std::size_t close = tag.find(tag[p], p + 1);
      if (close == std::string_view::npos) return false;
      value = std::string(tag.substr(p + 1, close - p - 1));
    } else {
      std::size_t end = p;
      while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '/') ++end;
      value = std::string(tag.substr(p, end - p));
    }
    return true;
  }
  return false;
}

}  // namespace

std::string BmstableMetaContent(std::string_view html) {
  const std::string lower = Lower(html);
  std::size_t at = 0;
  while ((at = lower.find("<meta", at)) != std::string::npos) {
    const std::size_t end = lower.find('>', at);
    if (end == std::string::npos) break;
    const std::string_view tag = html.substr(at + 5, end - at - 5);
    const std::string_view lowerTag = std::string_view(lower).substr(at + 5, end - at - 5);
    std::string name, content;
    if (AttributeValue(tag, lowerTag, "name", name) && Lower(name) == "bmstable" &&
        AttributeValue(tag, lowerTag, "content", content))
      return content;
    at = end;
  }
  return {};
}

std::vector<TableEntry> ParseTableBody(std::string_view text, std::size_t& skipped) {
  skipped = 0;
  json body;
  try {
    body = json::parse(text);
  } catch (const json::exception& e) {
    throw TableError(e.what());
  }
  if (!body.is_array()) throw TableError("the body is not a JSON array of entries");
  std::vector<TableEntry> entries;
  entries.reserve(body.size());
  for (const json& item : body) {
    if (!item.is_object()) throw TableError("entry " + std::to_string(entries.size() + skipped + 1) + " is not an object");
    TableEntry e;
    if (item.contains("md5")) e.md5 = LowerHex(item["md5"], 32);
    if (item.contains("sha256")) e.sha256 = LowerHex(item["sha256"], 64);
    if (item.contains("level")) e.level = TextOf(item["level"]);
    if (item.contains("title")) e.title = TextOf(item["title"]);
    if (e.md5.empty() && e.sha256.empty()) {
      ++skipped;
      continue;
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

DifficultyTable ReadDifficultyTable(const std::filesystem::path& file) {
  std::filesystem::path headerPath = file;
  std::string text = ReadFile(file);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) throw TableError(Utf8Of(file) + ": empty file");
  if (text[first] == '[') throw TableError(Utf8Of(file) + ": a table's body; import its header (or its page) instead");
  if (text[first] != '{') {
    const std::string content = BmstableMetaContent(text);
    if (content.empty())
      throw TableError(Utf8Of(file) + ": neither a table header (JSON) nor a page with <meta name=\"bmstable\">");
    headerPath = Beside(file, content);
    text = ReadFile(headerPath);
  }
  const json header = ParseJson(text, headerPath);
  if (!header.is_object()) throw TableError(Utf8Of(headerPath) + ": the header is not a JSON object");
  const auto field = [&](const char* key) {
    return header.contains(key) && header[key].is_string() ? header[key].get<std::string>() : std::string();
  };
  DifficultyTable table;
  table.name = field("name");
  table.symbol = field("symbol");
  table.source = Utf8Of(file);
  if (table.name.empty()) throw TableError(Utf8Of(headerPath) + ": the header has no \"name\"");
  const std::string dataUrl = field("data_url");
  if (dataUrl.empty()) throw TableError(Utf8Of(headerPath) + ": the header has no \"data_url\"");
  const std::filesystem::path bodyPath = Beside(headerPath, dataUrl);
  const std::string body = ReadFile(bodyPath);
  try {
    table.entries = ParseTableBody(body, table.skipped);
  } catch (const TableError& e) {
    std::string why = e.what();
    const std::size_t end = why.find("] ");
    if (why.rfind("[json.", 0) == 0 && end != std::string::npos) why = "not valid JSON: " + why.substr(end + 2);
    throw TableError(Utf8Of(bodyPath) + ": " + why);
  }
  return table;
}

}  // namespace library
