#ifndef TJVX_TEXT_WIDTHS_H_
#define TJVX_TEXT_WIDTHS_H_

#include <string>
#include <string_view>

namespace tjvx::text {

// Half-width "0".."Z" and half-width katakana become their full-width forms; a half-width kana
// followed by a voiced or semi-voiced mark becomes the one combined kana where CP932 has it.
std::u16string ToFullWidth(std::u16string_view text);
// ToFullWidth(text) appended to `out`.
void AppendFullWidth(std::u16string& out, std::u16string_view text);

// Columns the text takes on a fixed-pitch screen: its CP932 byte count (half-width 1, full-width
// 2).
int DisplayWidth(std::u16string_view text);

// Bytes of the text in CP932 (a character CP932 cannot write counts 2).
int ByteLength(std::u16string_view text);
// `length` bytes of the text's CP932 form from 1-based byte `start`, read back as text; a byte that
// does not make a character on its own reads as U+FFFD.
std::u16string ByteMid(std::u16string_view text, int start, int length);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_WIDTHS_H_
