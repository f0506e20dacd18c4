#ifndef TJVX_FORM_FILE_NAMES_H_
#define TJVX_FORM_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace tjvx::form {

// `name` usable as a file name: path separators, the characters Windows forbids and control
// characters become "_", trailing dots and blanks go, and a device name (CON, NUL, COM1 …) gets a
// "_" after it; `fallback` when nothing is left.
std::u16string SafeFileName(std::u16string_view name, std::u16string_view fallback);

}  // namespace tjvx::form

#endif  // TJVX_FORM_FILE_NAMES_H_
