#include "platform/cp932.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tjvx::platform {
namespace {

constexpr char16_t kNoChar = 0xFFFF;    // U+FFFF is never the image of a CP932 code
constexpr uint16_t kNoCode = 0xFFFF;    // 0xFFFF is never a CP932 code
constexpr char16_t kLeadByte = 0xFFFE;  // marks a single byte that starts a two-byte code

struct Tables {
  std::array<char16_t, 256> single;
  std::array<char16_t, 65536> pair;    // indexed by lead << 8 | trail
  std::array<uint16_t, 65536> encode;  // code of each character, kNoCode when none
};

#ifdef _WIN32

// One system conversion of a byte sequence to a single character, kNoChar when it is not valid.
char16_t SystemDecode(const char* bytes, int length, bool* incomplete) {
  wchar_t out[4];
  int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, out, 4);
  *incomplete = false;
  if (n == 1) return static_cast<char16_t>(out[0]);
  if (length == 1 && IsDBCSLeadByteEx(932, static_cast<BYTE>(bytes[0]))) *incomplete = true;
  return kNoChar;
}

uint16_t SystemEncode(char16_t c) {
  wchar_t in = static_cast<wchar_t>(c);
  char out[4];
  BOOL used_default = FALSE;
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &in, 1, out, 4, nullptr, &used_default);
  if (used_default || n < 1 || n > 2) return kNoCode;
  if (n == 1) return static_cast<unsigned char>(out[0]);
  return static_cast<uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                               static_cast<unsigned char>(out[1]));
}

#else

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("the system has no CP932 converter (iconv)");
    }
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts `in` whole; returns the output length, or -1 with `incomplete` set when the input
  // ends inside a character, or -1 when it is invalid.
  long Convert(const char* in, size_t in_len, char* out, size_t out_cap, bool* incomplete) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    size_t left = in_len, room = out_cap;
    *incomplete = false;
    size_t r = iconv(cd_, &src, &left, &dst, &room);
    if (r == static_cast<size_t>(-1)) {
      *incomplete = errno == EINVAL;
      return -1;
    }
    // Irreversible conversions (a substitute character) are not a faithful mapping.
    if (r != 0) return -1;
    return static_cast<long>(out_cap - room);
  }

  // One conversion from the start state of as much of `in` as goes: iconv's result, with `in`
  // and `out` moved past what was converted and errno telling why it stopped.
  size_t Run(const char*& in, size_t& in_left, char*& out, size_t& out_left) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    const size_t r = iconv(cd_, &src, &in_left, &out, &out_left);
    in = src;
    return r;
  }

 private:
  iconv_t cd_;
};

char16_t SystemDecode(Iconv& cd, const char* bytes, int length, bool* incomplete) {
  char16_t out[4];
  long n = cd.Convert(bytes, length, reinterpret_cast<char*>(out), sizeof out, incomplete);
  return n == 2 ? out[0] : kNoChar;
}

uint16_t SystemEncode(Iconv& cd, char16_t c) {
  unsigned char out[4];
  bool incomplete;
  long n = cd.Convert(reinterpret_cast<const char*>(&c), 2, reinterpret_cast<char*>(out),
                      sizeof out, &incomplete);
  if (n == 1) return out[0];
  if (n == 2) return static_cast<uint16_t>(out[0] << 8 | out[1]);
  return kNoCode;
}

// Many codes a call: the system converter is asked some 18,000 questions to fill the tables, and
// a call each was most of a short conversion's work. The rows are converted whole where the
// converter answers one character a code; a code it refuses is marked and passed over, and any
// row that does not come out one character a code is asked code by code, as before.

constexpr int kFirstTrail = 0x40, kLastTrail = 0xFC, kTrails = kLastTrail - kFirstTrail + 1;

// The two-byte codes of `lead` into t.pair. False when the row must be asked code by code.
bool DecodeRowAtOnce(Iconv& cd, int lead, Tables& t) {
  char in[2 * kTrails];
  for (int k = 0; k < kTrails; ++k) {
    in[2 * k] = static_cast<char>(lead);
    in[2 * k + 1] = static_cast<char>(kFirstTrail + k);
  }
  for (int k = 0; k < kTrails;) {
    char16_t out[2 * kTrails];
    const char* src = in + 2 * k;
    size_t in_left = static_cast<size_t>(2 * (kTrails - k));
    char* dst = reinterpret_cast<char*>(out);
    size_t out_left = sizeof out;
    const size_t r = cd.Run(src, in_left, dst, out_left);
    const int error = errno;
    const auto consumed = static_cast<size_t>(src - (in + 2 * k));
    const auto units = static_cast<size_t>(dst - reinterpret_cast<char*>(out)) / 2;
    if (consumed % 2 != 0 || units != consumed / 2) return false;
    const bool stopped = r == static_cast<size_t>(-1);
    if (!stopped && r != 0) return false;  // an irreversible conversion somewhere in the run
    for (size_t u = 0; u < units; ++u)
      t.pair[lead << 8 | (kFirstTrail + k + static_cast<int>(u))] = out[u];
    k += static_cast<int>(units);
    if (!stopped) break;
    if (error != EILSEQ && error != EINVAL) return false;
    t.pair[lead << 8 | (kFirstTrail + k)] = kNoChar;  // the code it refused
    ++k;
  }
  return true;
}

// The codes of `chars` into t.encode. False when they must be asked one by one.
bool EncodeAtOnce(Iconv& cd, const std::vector<char16_t>& chars, Tables& t) {
  std::vector<char> out(4 * chars.size() + 4);
  for (size_t k = 0; k < chars.size();) {
    const char* src = reinterpret_cast<const char*>(chars.data() + k);
    size_t in_left = 2 * (chars.size() - k);
    char* dst = out.data();
    size_t out_left = out.size();
    const size_t r = cd.Run(src, in_left, dst, out_left);
    const int error = errno;
    const auto consumed =
        static_cast<size_t>(src - reinterpret_cast<const char*>(chars.data() + k));
    if (consumed % 2 != 0) return false;
    const bool stopped = r == static_cast<size_t>(-1);
    if (!stopped && r != 0) return false;
    // Each code is one byte, or two where its first byte is a lead byte.
    const char* code = out.data();
    for (size_t c = 0; c < consumed / 2; ++c) {
      if (code >= dst) return false;
      const auto first = static_cast<unsigned char>(code[0]);
      if (t.single[first] == kLeadByte) {
        if (code + 1 >= dst) return false;
        t.encode[chars[k + c]] =
            static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(code[1]));
        code += 2;
      } else {
        t.encode[chars[k + c]] = first;
        code += 1;
      }
    }
    if (code != dst) return false;
    k += consumed / 2;
    if (!stopped) break;
    if (error != EILSEQ && error != EINVAL) return false;
    t.encode[chars[k]] = kNoCode;  // the character it refused
    ++k;
  }
  return true;
}

#endif

std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  t->single.fill(kNoChar);
  t->pair.fill(kNoChar);
  t->encode.fill(kNoCode);
#ifdef _WIN32
  auto decode = [](const char* b, int n, bool* inc) { return SystemDecode(b, n, inc); };
  auto encode = [](char16_t c) { return SystemEncode(c); };
#else
  Iconv to_utf16("UTF-16LE", "CP932");
  Iconv from_utf16("CP932", "UTF-16LE");
  auto decode = [&](const char* b, int n, bool* inc) { return SystemDecode(to_utf16, b, n, inc); };
  auto encode = [&](char16_t c) { return SystemEncode(from_utf16, c); };
#endif
  for (int b = 0; b < 256; ++b) {
    char byte = static_cast<char>(b);
    bool incomplete = false;
    char16_t c = decode(&byte, 1, &incomplete);
    if (c != kNoChar) {
      t->single[b] = c;
    } else if (incomplete) {
      t->single[b] = kLeadByte;
#ifndef _WIN32
      if (DecodeRowAtOnce(to_utf16, b, *t)) continue;
#endif
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        char bytes[2] = {byte, static_cast<char>(trail)};
        bool inc2 = false;
        t->pair[b << 8 | trail] = decode(bytes, 2, &inc2);
      }
    }
  }
  // Each character's code is the one the system's encoder chooses, so where two codes read as one
  // character (the NEC and IBM rows) the written code is the system's usual one.
  std::vector<char16_t> chars;  // every character read, once, single bytes first
  for (int b = 0; b < 256; ++b) {
    char16_t c = t->single[b];
    if (c != kNoChar && c != kLeadByte && t->encode[c] == kNoCode) {
      t->encode[c] = 0;  // taken
      chars.push_back(c);
    }
  }
  for (int code = 0; code < 65536; ++code) {
    char16_t c = t->pair[code];
    if (c != kNoChar && t->encode[c] == kNoCode) {
      t->encode[c] = 0;
      chars.push_back(c);
    }
  }
#ifndef _WIN32
  if (EncodeAtOnce(from_utf16, chars, *t)) return t;
#endif
  for (char16_t c : chars) t->encode[c] = encode(c);
  return t;
}

const Tables& Table() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

long long LineOf(std::string_view bytes, size_t offset) {
  long long line = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (bytes[i] == '\n') {
      ++line;
    } else if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) {
      ++line;
    }
  }
  return line;
}

[[noreturn]] void ThrowBadByte(std::string_view bytes, size_t offset, std::u16string_view file) {
  throw base::Error(base::Error::Kind::kBadCharacter, std::u16string(file), LineOf(bytes, offset),
                    static_cast<long long>(offset));
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes, std::u16string_view file) {
  std::u16string out;
  DecodeCp932(bytes, file, out);
  return out;
}

void DecodeCp932(std::string_view bytes, std::u16string_view file, std::u16string& out) {
  const Tables& t = Table();
  out.resize(bytes.size());
  size_t n = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    char16_t c = t.single[b];
    if (c == kLeadByte) {
      if (i + 1 >= bytes.size()) ThrowBadByte(bytes, i, file);
      c = t.pair[b << 8 | static_cast<unsigned char>(bytes[i + 1])];
      if (c == kNoChar) ThrowBadByte(bytes, i, file);
      ++i;
    } else if (c == kNoChar) {
      ThrowBadByte(bytes, i, file);
    }
    out[n++] = c;
  }
  out.resize(n);
}

void AppendCp932(std::u16string_view text, std::u16string_view file, std::string& out) {
  const Tables& t = Table();
  // Room for the longest form (two bytes a character), written through a pointer, then cut back.
  const size_t start = out.size();
  out.resize(start + 2 * text.size());
  char* p = out.data() + start;
  for (char16_t c : text) {
    uint16_t code = t.encode[c];
    if (code == kNoCode) {
      out.resize(start);
      throw base::Error(base::Error::Kind::kOutOfRange, std::u16string(file), 0, -1,
                        u"CP932 で書けない文字: " + std::u16string(1, c));
    }
    if (code > 0xFF) *p++ = static_cast<char>(code >> 8);
    *p++ = static_cast<char>(code & 0xFF);
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

bool Cp932CanWrite(std::u16string_view text) {
  const Tables& t = Table();
  return std::none_of(text.begin(), text.end(), [&](char16_t c) { return t.encode[c] == kNoCode; });
}

std::string EncodeCp932(std::u16string_view text, std::u16string_view file) {
  std::string out;
  out.reserve(text.size() * 2);
  AppendCp932(text, file, out);
  return out;
}

int Cp932ByteCount(char16_t c) {
  uint16_t code = Table().encode[c];
  if (code == kNoCode) return 2;
  return code > 0xFF ? 2 : 1;
}

}  // namespace tjvx::platform
