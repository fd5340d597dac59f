// SPDX-License-Identifier: MIT
#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// iconv descriptors are not thread-safe; one per encoding behind a lock.
struct Decoder {
  iconv_t cd;
  std::mutex m;
  explicit Decoder(const char* from) : cd(iconv_open("UTF-32LE", from)) {}
};

Decoder& DecoderFor(TextEncoding encoding) {
  static Decoder cp932("CP932"), utf8("UTF-8"), cp949("CP949");
  switch (encoding) {
    case TextEncoding::kUtf8: return utf8;
    case TextEncoding::kCp949: return cp949;
    case TextEncoding::kCp932: break;
  }
  return cp932;
}

// How many bytes a character that the decoder refused is taken to span, so
// that decoding goes on after it rather than inside it.
std::size_t RefusedLength(TextEncoding encoding, const unsigned char* p, std::size_t left) {
  if (encoding == TextEncoding::kUtf8 || p[0] < 0x80 || left < 2) return 1;
  // A double-byte pair whose second byte could be a trail byte is skipped
  // whole; an ASCII control or blank after it starts the next character.
  return p[1] >= 0x40 ? 2 : 1;
}

// Decodes into code points; `replace` puts U+FFFD for what is no character
// and goes on, otherwise the first such sequence stops with false.
bool Decode(TextEncoding encoding, std::string_view in, std::u32string& out, bool replace, bool endMayBeCut) {
  out.clear();
  bool exact = true;
  bool ascii = true;
  for (unsigned char c : in)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) {
    out.assign(in.begin(), in.end());
    return true;
  }
  Decoder& d = DecoderFor(encoding);
  std::lock_guard<std::mutex> lock(d.m);
  if (d.cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(d.cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buf[4096];
  auto flush = [&](const char* end) {
    for (const char* p = buf; p + 4 <= end; p += 4) {
      const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
      out.push_back(static_cast<char32_t>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<std::uint32_t>(u[3]) << 24));
    }
  };
  while (srcLeft > 0) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    std::size_t r = iconv(d.cd, &src, &srcLeft, &dst, &dstLeft);
    const int error = errno;
    flush(dst);
    if (r != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    if (error == EINVAL && endMayBeCut) break;  // a character cut by the limit
    exact = false;
    if (!replace) return false;
    out.push_back(kReplacement);
    std::size_t skip = error == EINVAL ? srcLeft : RefusedLength(encoding, reinterpret_cast<unsigned char*>(src), srcLeft);
    src += skip;
    srcLeft -= skip;
    iconv(d.cd, nullptr, nullptr, nullptr, nullptr);
  }
  return exact;
}

}  // namespace

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string DecodeToUtf8(TextEncoding encoding, std::string_view bytes) {
  std::u32string cps;
  Decode(encoding, bytes, cps, true, false);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char32_t cp : cps) AppendUtf8(cp, out);
  return out;
}

bool DecodeCodePoints(TextEncoding encoding, std::string_view bytes, std::u32string& out, bool endMayBeCut) {
  return Decode(encoding, bytes, out, false, endMayBeCut);
}

void Utf16Decoder::Feed(std::string_view block, std::string& out) {
  std::size_t i = 0;
  auto unit = [this](unsigned char a, unsigned char b) -> char32_t {
    return bigEndian_ ? static_cast<char32_t>(a << 8 | b) : static_cast<char32_t>(b << 8 | a);
  };
  auto put = [&](char32_t u) {
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (highSurrogate_) AppendUtf8(kReplacement, out);
      highSurrogate_ = u;
      return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
      if (highSurrogate_) {
        AppendUtf8(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (u - 0xDC00), out);
        highSurrogate_ = 0;
      } else {
        AppendUtf8(kReplacement, out);
      }
      return;
    }
    if (highSurrogate_) {
      AppendUtf8(kReplacement, out);
      highSurrogate_ = 0;
    }
    AppendUtf8(u, out);
  };
  if (oddByte_ >= 0 && !block.empty()) {
    put(unit(static_cast<unsigned char>(oddByte_), static_cast<unsigned char>(block[0])));
    oddByte_ = -1;
    i = 1;
  }
  for (; i + 1 < block.size(); i += 2)
    put(unit(static_cast<unsigned char>(block[i]), static_cast<unsigned char>(block[i + 1])));
  if (i < block.size()) oddByte_ = static_cast<unsigned char>(block[i]);
}

void Utf16Decoder::Finish(std::string& out) {
  if (highSurrogate_) AppendUtf8(kReplacement, out);
  if (oddByte_ >= 0) AppendUtf8(kReplacement, out);
  oddByte_ = -1;
  highSurrogate_ = 0;
}

}  // namespace platform
