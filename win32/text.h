#ifndef TJVX_WIN32_TEXT_H_
#define TJVX_WIN32_TEXT_H_

#include <string>
#include <string_view>

namespace tjvx::win32 {

// The program's UTF-16 text as Windows' wide text (the same code units).
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// The characters of `text` as Windows' wide text, without a copy: for calls given its length.
inline const wchar_t* W(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_TEXT_H_
