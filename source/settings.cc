#include "source/settings.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/system_folder.h"
#include "source/field_reader.h"
#include "text/trim.h"

namespace tjvx::source {

namespace {

// Whether a folder of a settings file stands on its own: a drive ("C:\..."), a folder of the
// current drive or a network share ("\\server\..."), or a host path ("/srv/...").
bool IsAbsolute(std::u16string_view folder) {
  return (folder.size() >= 2 && folder[1] == u':') || folder.starts_with(u"\\") ||
         folder.starts_with(u"/");
}

// The first field of the first line after line 1 that holds more than blanks, as read from the
// bytes of the settings file `file`; empty when there is no such line. Only that line is decoded,
// so bytes that are not CP932 on line 1 or after the folder's line do no harm; one on the folder's
// line is reported at that line and at its offset in the whole file. Line ends are CR LF, LF or CR
// and a Ctrl-Z ends the file; none of these bytes is ever the second byte of a CP932 character,
// so the lines are found before anything is decoded.
std::u16string FolderSetting(std::string_view bytes, const std::u16string& file) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  auto line_end = [&](size_t from) {
    return std::min(bytes.find_first_of("\r\n", from), bytes.size());
  };
  auto past_line_end = [&](size_t end) { return end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1); };
  size_t end = line_end(0);
  long long line = 1;
  while (end < bytes.size()) {
    const size_t start = past_line_end(end);
    end = line_end(start);
    ++line;
    const std::string_view text = bytes.substr(start, end - start);
    if (text.find_first_not_of(" \t") == std::string_view::npos) continue;
    std::u16string decoded;
    try {
      decoded = platform::DecodeCp932(text, file);
    } catch (const base::Error& error) {
      throw base::Error(error.kind(), file, line, static_cast<long long>(start) + error.offset());
    }
    FieldReader reader(std::move(decoded), file, FieldReader::CutAtCtrlZ{});
    return std::u16string(text::Trim(reader.ReadField()));
  }
  // A settings file of one line names no folder.
  return {};
}

}  // namespace

std::u16string ReadPatternFolder(const std::vector<std::u16string>& folders) {
  for (const std::u16string& candidate : folders) {
    std::u16string settings_folder = text::TrimBlanksAndNuls(candidate);
    settings_folder = base::WithoutTrailingBackslashes(settings_folder);
    if (settings_folder.empty()) continue;
    const std::u16string file = settings_folder + u"\\" + std::u16string(kSettingsFileName);
    // A missing or empty settings file counts as none.
    const std::optional<std::string> bytes = platform::ReadFileBytes(file);
    if (!bytes || bytes->empty()) continue;
    std::u16string folder = FolderSetting(*bytes, file);
    if (folder.empty()) return folder;
    if (folder[0] == u'/') {
      // An absolute host path is turned into the drive form the rest of the program uses.
      bool trailing = folder.back() == u'/';
      folder = platform::Drives().FromHost(std::filesystem::path(base::ToUtf8(folder)));
      if (trailing && folder.back() != u'\\') folder += u'\\';
    } else if (!IsAbsolute(folder)) {
      folder = settings_folder + u"\\" + folder;
    }
    return folder;
  }
  return {};
}

std::u16string ReadPatternFolder() { return ReadPatternFolder(platform::SettingsFolders()); }

std::optional<std::u16string> StartupPatternFolder(base::MessageHost& host) {
  std::u16string folder;
  try {
    folder = ReadPatternFolder();
  } catch (const base::Error& error) {
    host.ShowMessage(error.Message(), base::kMsgExclamation, {});
  }
  if (!folder.empty()) {
    // The setting ends with "\"; the folder itself is the text without its last character.
    std::u16string without_last = folder.substr(0, folder.size() - 1);
    std::optional<platform::EntryInfo> entry = platform::FindEntry(without_last);
    if (entry && entry->IsDirectory()) return folder;
  }
  host.ShowMessage(kNoPatternFolderMessage, base::kMsgOk, {});
  return std::nullopt;
}

}  // namespace tjvx::source
