#include "source/settings.h"

#include <filesystem>

#include "base/error.h"
#include "base/utf.h"
#include "platform/drives.h"
#include "platform/system_folder.h"
#include "source/source_files.h"
#include "text/trim.h"

namespace tjvx::source {

namespace {

// Whether a folder of a settings file stands on its own: a drive ("C:\..."), a folder of the
// current drive or a network share ("\\server\..."), or a host path ("/srv/...").
bool IsAbsolute(std::u16string_view folder) {
  return (folder.size() >= 2 && folder[1] == u':') || folder.starts_with(u"\\") ||
         folder.starts_with(u"/");
}

}  // namespace

std::u16string ReadPatternFolder(const std::vector<std::u16string>& folders) {
  for (const std::u16string& candidate : folders) {
    std::u16string settings_folder = text::TrimBlanksAndNuls(candidate);
    while (!settings_folder.empty() && settings_folder.back() == u'\\') settings_folder.pop_back();
    if (settings_folder.empty()) continue;
    std::optional<FieldReader> reader = OpenSourceFile(settings_folder + u"\\DozoraV5.ini");
    if (!reader) continue;
    reader->SkipLine();
    // A settings file of one line names no folder.
    if (reader->AtEnd()) return {};
    std::u16string folder(text::Trim(reader->ReadField()));
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
    host.MsgBox(error.Message(), base::kMsgExclamation, {});
  }
  if (!folder.empty()) {
    // The setting ends with "\"; the folder itself is the text without its last character.
    std::u16string without_last = folder.substr(0, folder.size() - 1);
    std::optional<platform::EntryInfo> entry = platform::FindEntry(without_last);
    if (entry && entry->IsDirectory()) return folder;
  }
  host.MsgBox(kNoPatternFolderMessage, base::kMsgOk, {});
  return std::nullopt;
}

}  // namespace tjvx::source
