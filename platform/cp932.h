#ifndef TJVX_PLATFORM_CP932_H_
#define TJVX_PLATFORM_CP932_H_

#include <string>
#include <string_view>

namespace tjvx::platform {

// CP932 (Windows-31J) is the code page of every file the converter reads and writes. The mapping is
// taken once from the system's converter (iconv "CP932", or code page 932 on Windows), so
// 0x8160 is U+FF5E, 0x818F is U+FFE5 and 0x815F is U+FF3C, and user-defined characters and the
// NEC/IBM extensions round-trip.

// Decodes a whole file. Bytes that are not CP932 throw Error::Kind::kBadCharacter naming `file`,
// the 1-based line and the 0-based byte offset of the offending byte.
std::u16string DecodeCp932(std::string_view bytes, std::u16string_view file);

// The same into `out`, whose text is replaced and whose room is kept: for a file decoded piece by
// piece into one buffer (line and offset of a bad byte are then those within the piece).
void DecodeCp932(std::string_view bytes, std::u16string_view file, std::u16string& out);

// Encodes text for a file. A character CP932 cannot write throws Error::Kind::kOutOfRange naming
// `file`; text read from CP932 files never holds one.
std::string EncodeCp932(std::u16string_view text, std::u16string_view file);
// Appends the encoding of `text` to `out`; the same rules as EncodeCp932.
void AppendCp932(std::u16string_view text, std::u16string_view file, std::string& out);
// Whether CP932 can write every character of `text`, so EncodeCp932 would not throw.
bool Cp932CanWrite(std::u16string_view text);

// Bytes the character takes in CP932: 1 for ASCII and half-width katakana, else 2.
int Cp932ByteCount(char16_t c);

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_CP932_H_
