#include "source/settings.h"

#include <filesystem>

#include "base/error.h"
#include "base/utf.h"
#include "platform/drives.h"
#include "platform/system_folder.h"
#include "source/source_files.h"
#include "text/trim.h"

namespace tjvx::source {

std::u16string ReadPatternFolder() {
  std::u16string settings = text::TrimBlanksAndNuls(platform::SystemFolder()) + u"\\DozoraV5.ini";
  std::optional<FieldReader> reader = OpenSourceFile(settings);
  if (!reader) return {};
  reader->SkipLine();
  // A settings file of one line names no folder.
  if (reader->AtEnd()) return {};
  std::u16string folder(text::Trim(reader->ReadField()));
  // An absolute host path is turned into the drive form the rest of the program uses.
  if (!folder.empty() && folder[0] == u'/') {
    bool trailing = folder.back() == u'/';
    folder = platform::Drives().FromHost(std::filesystem::path(base::ToUtf8(folder)));
    if (trailing && folder.back() != u'\\') folder += u'\\';
  }
  return folder;
}

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
