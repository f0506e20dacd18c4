#include <filesystem>

#include "base/error.h"
#include "text/numbers.h"
#include "text/path_check.h"
#include "platform/drives.h"
#include "platform/system_folder.h"
#include "text/field_formats.h"

namespace TRCOMSUB {

std::u16string ReadPatternFolder() {
  std::u16string settings = tjvx::platform::QPRTrim(tjvx::platform::SysDir()) + u"\\DozoraV5.ini";
  std::optional<tjvx::FieldReader> reader = FCOPYSUB::OpenSourceFile(settings);
  if (!reader) return {};
  reader->SkipLine();
  // A settings file of one line names no folder.
  if (reader->AtEnd()) return {};
  std::u16string folder(tjvx::Trim(reader->ReadField()));
  // An absolute host path is turned into the drive form the rest of the program uses.
  if (!folder.empty() && folder[0] == u'/') {
    bool trailing = folder.back() == u'/';
    folder = tjvx::platform::Drives().FromHost(std::filesystem::path(tjvx::ToUtf8(folder)));
    if (trailing && folder.back() != u'\\') folder += u'\\';
  }
  return folder;
}

std::optional<std::u16string> StartupPatternFolder(tjvx::MessageHost& host) {
  std::u16string folder;
  try {
    folder = ReadPatternFolder();
  } catch (const tjvx::Error& error) {
    host.MsgBox(error.Message(), tjvx::kMsgExclamation, {});
  }
  if (!folder.empty()) {
    // The setting ends with "\"; the folder itself is the text without its last character.
    std::u16string without_last = folder.substr(0, folder.size() - 1);
    std::optional<tjvx::platform::EntryInfo> entry = tjvx::platform::FindEntry(without_last);
    if (entry && entry->IsDirectory()) return folder;
  }
  host.MsgBox(kNoPatternFolderMessage, tjvx::kMsgOk, {});
  return std::nullopt;
}

}  // namespace TRCOMSUB
