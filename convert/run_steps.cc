#include "convert/run_steps.h"

#include "base/windows_path.h"
#include "platform/files.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

// What leaving a source file out does: the records it would have given.
struct SourceSection {
  std::u16string_view file;
  std::u16string_view records;
  std::u16string_view what;  // what is left out
};
constexpr SourceSection kSections[] = {
    {u"X1.TXT", u"2000", u"2000 の記録は書かれません。"},
    {u"X3.TXT", u"2001", u"2001 の 1 番目の名前は @ と書かれます。"},
    {u"R31.TXT", u"2001", u"2001 の 2 番目の名前は @ と書かれます。"},
    {u"R32.TXT", u"2001", u"2001 の 3 番目の名前は @ と書かれます。"},
    {u"R33.TXT", u"2001", u"2001 の 4 番目の名前は @ と書かれます。"},
    {u"R34.TXT", u"2001", u"2001 の 5 番目の名前は @ と書かれます。"},
    {u"R35.TXT", u"2001", u"2001 の 6 番目の名前は @ と書かれます。"},
    {u"X11.TXT", u"", u"深度の一覧にこのファイルの深度は入りません。"},
    {u"X12.TXT", u"2002", u"2002 の記録は書かれません。"},
    {u"R41.TXT", u"3000", u"3000 と 3010 の記録は書かれません。"},
    {u"N9.TXT", u"3020", u"3020 の記録は書かれません。"},
    {u"X7.TXT", u"3030", u"3030 の記録は書かれません。"},
    {u"G40.TXT", u"3040", u"3040 の記録は書かれません。"},
    {u"R30.TXT", u"3070", u"3070 の記録は書かれません。"},
    {u"X5.TXT", u"4000", u"4000 の記録は書かれません。"},
    {u"N8.TXT", u"5000", u"5000 の日付は -1 -1 と書かれます。"},
    {u"G71.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G73.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G81.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G72.TXT", u"5010", u"5010 の記録は書かれません。"},
    {u"Titl01.txt", u"1000", u"表題の項目は空として書かれます。"},
    {u"Titl02.txt", u"1006", u"表題の項目は空として書かれます。"},
};

}  // namespace

void ReportLeftOut(const std::u16string& folder, base::FindingSink& findings,
                   const std::function<void(const base::Error&)>& on_error) {
  for (const SourceSection& section : kSections) {
    const std::u16string path = folder + u"\\" + std::u16string(section.file);
    std::optional<std::uintmax_t> size;
    try {
      size = platform::FileSize(path);
    } catch (const base::Error& error) {
      if (!on_error) throw;
      on_error(error);
      continue;
    }
    if (size && *size > 0) continue;
    findings.Report({base::Severity::kNotice, path, 0, 0, std::u16string(section.records),
                     std::u16string(size ? u"ファイルが空の為、" : u"ファイルがない為、") +
                         std::u16string(section.what)});
  }
}

std::u16string SourceFolder(std::u16string_view text, bool as_given) {
  return std::u16string(base::WithoutTrailingBackslashes(as_given ? text : text::Trim(text), 3));
}

bool EndsInBlankOrDot(std::u16string_view folder) {
  return !folder.empty() && (folder.back() == u' ' || folder.back() == u'.') &&
         !folder.ends_with(u"\\.") && folder != u"." && !folder.ends_with(u"..");
}

bool IsDriveRoot(std::u16string_view folder) {
  return folder.size() <= 3 && folder.size() >= 2 && folder[1] == u':' &&
         (folder.size() == 2 || folder[2] == u'\\');
}

}  // namespace tjvx::convert
