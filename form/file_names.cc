#include "form/file_names.h"

#include "base/ascii.h"
#include "form/converter_form.h"

namespace tjvx::form {
namespace {

// Whether `stem` is the name of a Windows device, in any letter case: CON, PRN, AUX, NUL, COM1 to
// COM9 and LPT1 to LPT9, and COM¹, COM², COM³, LPT¹, LPT², LPT³, which Windows reserves as well.
bool IsDeviceName(std::u16string_view stem) {
  if (stem.size() == 3) {
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
      if (base::EqualsIgnoringAsciiCase(stem, device)) return true;
    }
    return false;
  }
  if (stem.size() != 4) return false;
  const std::u16string_view port = stem.substr(0, 3);
  const char16_t number = stem[3];
  return (base::EqualsIgnoringAsciiCase(port, u"COM") ||
          base::EqualsIgnoringAsciiCase(port, u"LPT")) &&
         ((number >= u'1' && number <= u'9') || number == u'¹' || number == u'²' || number == u'³');
}

}  // namespace

std::u16string SafeFileName(std::u16string_view name, std::u16string_view fallback) {
  std::u16string safe;
  for (char16_t c : name) {
    const bool forbidden =
        c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
    safe += forbidden ? u'_' : c;
  }
  while (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.pop_back();
  if (safe.empty()) return std::u16string(fallback);
  // A device name stays a device name whatever its extension, and with blanks before the
  // extension: "CON.svg" and "CON .svg" are the console on Windows. Elsewhere such a file could
  // be written but not copied to Windows, so the rule holds on every system.
  std::u16string_view stem = std::u16string_view(safe).substr(0, safe.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  if (IsDeviceName(stem)) safe.insert(stem.size(), 1, u'_');
  return safe;
}

std::u16string ReportFileName(std::u16string_view folder) {
  const size_t separator = folder.find_last_of(u'\\');
  const std::u16string_view last =
      separator == std::u16string_view::npos ? std::u16string_view() : folder.substr(separator + 1);
  std::u16string name(kReportTitle);
  if (!last.empty()) name.append(u"_").append(last);
  return SafeFileName(name, kReportTitle) + u".txt";
}

std::u16string LogFileName(std::u16string_view name, std::u16string_view extension) {
  return SafeFileName(name, kLogTitle).append(extension);
}

}  // namespace tjvx::form
