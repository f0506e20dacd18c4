#include "form/file_names.h"

#include "base/ascii.h"
#include "form/converter_form.h"

namespace tjvx::form {

std::u16string SafeFileName(std::u16string_view name, std::u16string_view fallback) {
  std::u16string safe;
  for (char16_t c : name) {
    const bool forbidden =
        c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
    safe += forbidden ? u'_' : c;
  }
  while (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.pop_back();
  if (safe.empty()) return std::u16string(fallback);
  // A device name stays a device name whatever its extension: "CON.svg" is the console.
  std::u16string stem = safe.substr(0, safe.find(u'.'));
  for (char16_t& c : stem) c = base::AsciiUpper(c);
  const bool numbered = stem.size() == 4 &&
                        (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) && stem[3] >= u'1' &&
                        stem[3] <= u'9';
  if (numbered || stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") {
    safe.insert(stem.size(), 1, u'_');
  }
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
