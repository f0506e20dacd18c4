#ifndef TJVX_BASE_UTF_H_
#define TJVX_BASE_UTF_H_

#include <string>
#include <string_view>

namespace tjvx::base {

// Conversions between the program's UTF-16 text and UTF-8 (the console, host paths, messages of
// exceptions); an ASCII text is widened as it is.
std::u16string FromAscii(std::string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace tjvx::base

#endif  // TJVX_BASE_UTF_H_
