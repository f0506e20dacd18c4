#ifndef TJVX_FORM_FILE_NAMES_H_
#define TJVX_FORM_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace tjvx::form {

// `name` usable as a file name on every system, Windows included: path separators, the
// characters Windows forbids and control characters become "_", trailing dots and blanks go, and
// a Windows device name (CON, PRN, AUX, NUL, COM1–COM9, LPT1–LPT9 in any case, also before an
// extension: "con.svg", "NUL .txt") gets a "_" after it ("con_.svg"); `fallback` when nothing is
// left.
std::u16string SafeFileName(std::u16string_view name, std::u16string_view fallback);

// The file a check's report of `folder` is saved as: "点検結果_B-12.txt" after the folder's last
// name, "点検結果.txt" when the folder has none after a "\" (a drive's root).
std::u16string ReportFileName(std::u16string_view folder);

// The file the log drawing of the converted file `name` is saved or shown as, `extension` (".svg")
// included: "B-12.svg"; "柱状図.svg" when nothing of the name is left.
std::u16string LogFileName(std::u16string_view name, std::u16string_view extension);

}  // namespace tjvx::form

#endif  // TJVX_FORM_FILE_NAMES_H_
