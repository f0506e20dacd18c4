#include "platform/drives.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <system_error>

#include "base/ascii.h"
#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {
namespace {

// The path's components after "X:", without empty ones (repeated separators count as one).
std::vector<std::u16string_view> Components(std::u16string_view rest) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = rest.size();
    if (end > start) parts.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

fs::path HostName(std::u16string_view name) {
#ifdef _WIN32
  return fs::path(std::wstring(name.begin(), name.end()));
#else
  return fs::path(base::ToUtf8(name));
#endif
}

std::u16string WindowsName(const fs::path& name) {
#ifdef _WIN32
  std::wstring w = name.wstring();
  return std::u16string(w.begin(), w.end());
#else
  return base::FromUtf8(name.string());
#endif
}

// Finds `name` in `folder` under another letter case when it is not there as written; folders
// copied from Windows often change the case of the fixed file names.
fs::path ResolveCase(const fs::path& folder, std::u16string_view name) {
  fs::path exact = folder / HostName(name);
  std::error_code ec;
  if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found || name == u"." ||
      name == u"..") {
    return exact;
  }
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    fs::path candidate = it->path().filename();
    if (base::EqualsIgnoringAsciiCase(WindowsName(candidate), name)) return folder / candidate;
  }
  return exact;
}

std::mutex g_drives_mutex;
DriveTable* g_drives = nullptr;
// 0 until a drive is made current: then the process's own current drive (Z: off Windows).
// Written by every conversion of a parallel batch; 0 until a drive is made current.
std::atomic<char16_t> g_current_drive{0};

}  // namespace

DriveTable::DriveTable() {
#ifndef _WIN32
  roots_[u'Z'] = "/";
#endif
}

DriveTable DriveTable::FromEnvironment() {
  DriveTable table;
  const char* env = std::getenv("TJVX_DRIVES");
  if (env == nullptr) return table;
  std::string spec = env;
  size_t start = 0;
  while (start < spec.size()) {
    size_t end = spec.find(';', start);
    if (end == std::string::npos) end = spec.size();
    std::string item = spec.substr(start, end - start);
    if (item.size() >= 3 && item[1] == '=' && base::IsAsciiLetter(static_cast<char16_t>(item[0]))) {
      table.Map(static_cast<char16_t>(item[0]), fs::path(item.substr(2)));
    }
    start = end + 1;
  }
  return table;
}

void DriveTable::Map(char16_t letter, fs::path root) {
  std::error_code ec;
  fs::path absolute = fs::absolute(root, ec);
  if (ec) absolute = root;
  roots_[base::AsciiUpper(letter)] = absolute.lexically_normal();
}

std::vector<char16_t> DriveTable::Letters() const {
  std::vector<char16_t> letters;
#ifdef _WIN32
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    char16_t letter = static_cast<char16_t>(u'A' + i);
    if ((mask & (1u << i)) != 0 || roots_.count(letter) != 0) letters.push_back(letter);
  }
#else
  for (const auto& [letter, root] : roots_) letters.push_back(letter);
#endif
  return letters;
}

bool DriveTable::IsMapped(char16_t letter) const {
  return roots_.count(base::AsciiUpper(letter)) != 0;
}

std::optional<fs::path> DriveTable::Root(char16_t letter) const {
  auto it = roots_.find(base::AsciiUpper(letter));
  if (it != roots_.end()) return it->second;
#ifdef _WIN32
  // Any other letter is the real drive; whether it exists shows when it is used.
  if (base::IsAsciiLetter(letter))
    return fs::path(std::wstring{static_cast<wchar_t>(base::AsciiUpper(letter)), L':', L'\\'});
#endif
  return std::nullopt;
}

std::optional<fs::path> DriveTable::AsWritten(std::u16string_view path) const {
  std::optional<fs::path::string_type> text = AsWrittenText(path);
  if (!text) return std::nullopt;
  return fs::path(std::move(*text));
}

std::optional<fs::path::string_type> DriveTable::AsWrittenText(std::u16string_view path) const {
  if (!base::StartsWithDrive(path)) return std::nullopt;
  // The names are joined in one text and made a path once: each step of a path's `/=` takes the
  // whole path apart again, and every file a run opens passes here. A mapped drive's root is
  // taken as it stands in the table, not copied as a path first.
  fs::path::string_type host;
  if (const auto mapped = roots_.find(base::AsciiUpper(path[0])); mapped != roots_.end()) {
    host = mapped->second.native();
  } else {
    std::optional<fs::path> root = Root(path[0]);
    if (!root) return std::nullopt;
    host = root->native();
  }
  host.reserve(host.size() + 3 * path.size());
  const std::u16string_view rest = path.substr(2);
  for (size_t start = 0; start < rest.size();) {
    size_t end = rest.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = rest.size();
    if (end > start) {  // repeated separators count as one
      if (!host.empty() && host.back() != fs::path::preferred_separator) {
        host += fs::path::preferred_separator;
      }
#ifdef _WIN32
      host.append(rest.begin() + static_cast<std::ptrdiff_t>(start),
                  rest.begin() + static_cast<std::ptrdiff_t>(end));
#else
      base::AppendUtf8(host, rest.substr(start, end - start));
#endif
    }
    start = end + 1;
  }
  return host;
}

std::optional<fs::path> DriveTable::ToHost(std::u16string_view path, LastName last) const {
  // Most paths are written as they stand on disk, and one look-up settles them; the walk below,
  // which asks for every level and may read whole folders, is for the rest.
  std::optional<fs::path> as_written = AsWritten(path);
  if (!as_written) return std::nullopt;
  std::error_code exists_ec;
  if (fs::exists(*as_written, exists_ec)) return as_written;
  const std::vector<std::u16string_view> names = Components(path.substr(2));
  // A name not there in a folder that is there as written (a file about to be written): only
  // the last name is looked for, as the walk below would find every level above it as written.
  if (!names.empty()) {
    const fs::path folder = as_written->parent_path();
    std::error_code folder_ec;
    const fs::file_status status = fs::status(folder, folder_ec);
    if (fs::exists(status)) {
      if (last == LastName::kAsWritten || !fs::is_directory(status)) return as_written;
      return ResolveCase(folder, names.back());
    }
  }
  fs::path host = *Root(path[0]);
  bool resolving = true;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::u16string_view name = names[i];
    if (resolving && i + 1 == names.size() && last == LastName::kAsWritten) resolving = false;
    if (resolving) {
      host = ResolveCase(host, name);
      std::error_code ec;
      resolving = fs::is_directory(host, ec);
    } else {
      host /= HostName(name);
    }
  }
  return host;
}

std::u16string DriveTable::FromHost(const fs::path& host) const {
  std::error_code ec;
  fs::path absolute = fs::absolute(host, ec);
  if (ec) absolute = host;
  absolute = absolute.lexically_normal();
#ifdef _WIN32
  char16_t best_letter = 0;
  fs::path best_root;
#else
  char16_t best_letter = u'Z';
  fs::path best_root = "/";
#endif
  size_t best_depth = 0;
  for (const auto& [letter, root] : roots_) {
    auto [root_end, abs_end] =
        std::mismatch(root.begin(), root.end(), absolute.begin(), absolute.end());
    // A trailing empty component ("/srv/data/") matches too.
    bool prefix =
        root_end == root.end() || (std::next(root_end) == root.end() && root_end->empty());
    size_t depth = static_cast<size_t>(std::distance(root.begin(), root.end()));
    if (prefix && depth > best_depth) {
      best_letter = letter;
      best_root = root;
      best_depth = depth;
    }
  }
#ifdef _WIN32
  // Outside the mapped folders a Windows path is already in drive form.
  if (best_letter == 0) {
    std::wstring w = absolute.wstring();
    return std::u16string(w.begin(), w.end());
  }
#endif
  fs::path relative = absolute.lexically_relative(best_root);
  std::u16string out{best_letter, u':'};
  for (const fs::path& part : relative) {
    if (part.empty() || part == ".") continue;
    out += u'\\';
    out += WindowsName(part);
  }
  if (out.size() == 2) out += u'\\';
  return out;
}

const DriveTable& Drives() {
  std::lock_guard<std::mutex> lock(g_drives_mutex);
  if (g_drives == nullptr) g_drives = new DriveTable(DriveTable::FromEnvironment());
  return *g_drives;
}

void SetDrives(DriveTable table) {
  std::lock_guard<std::mutex> lock(g_drives_mutex);
  delete g_drives;
  g_drives = new DriveTable(std::move(table));
}

bool MakeDriveCurrent(char16_t letter) {
  if (!base::IsAsciiLetter(letter)) return false;
  const DriveTable& drives = Drives();
#ifdef _WIN32
  if (!drives.IsMapped(letter)) {
    // A real drive: the system decides (no such drive, or no medium in it).
    if (_chdrive(base::AsciiUpper(letter) - u'A' + 1) != 0) return false;
    g_current_drive = base::AsciiUpper(letter);
    return true;
  }
#endif
  std::optional<fs::path> root = drives.Root(letter);
  std::error_code ec;
  if (!root || !fs::is_directory(*root, ec)) return false;
  g_current_drive = base::AsciiUpper(letter);
  return true;
}

char16_t CurrentDrive() {
  if (char16_t drive = g_current_drive.load(); drive != 0) return drive;
#ifdef _WIN32
  int drive = _getdrive();
  if (drive >= 1 && drive <= 26) return static_cast<char16_t>(u'A' + drive - 1);
#endif
  return u'Z';
}

std::optional<EntryInfo> FindEntry(std::u16string_view path, LastName last) {
  // An entry there as written is settled by one look at it; only one that is not is looked up
  // under another letter case (ToHost), and looked at again only where that found another name.
  std::optional<fs::path> host = Drives().AsWritten(path);
  if (!host) return std::nullopt;
  std::error_code ec;
  fs::file_status status = fs::status(*host, ec);
  if (!fs::exists(status)) {
    std::optional<fs::path> other = Drives().ToHost(path, last);
    if (!other || *other == *host) return std::nullopt;
    host = std::move(other);
    status = fs::status(*host, ec);
    if (ec || !fs::exists(status)) return std::nullopt;
  }
  EntryInfo info;
  if (fs::is_directory(status)) info.attributes |= EntryInfo::kDirectory;
#ifdef _WIN32
  DWORD attributes = GetFileAttributesW(host->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_READONLY) info.attributes |= EntryInfo::kReadOnly;
    if (attributes & FILE_ATTRIBUTE_HIDDEN) info.attributes |= EntryInfo::kHidden;
  }
#else
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    info.attributes |= EntryInfo::kReadOnly;
  }
  std::string name = host->filename().string();
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
    info.attributes |= EntryInfo::kHidden;
  }
#endif
  return info;
}

bool IsVacant(std::u16string_view path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  const std::optional<std::string> as_written = Drives().AsWrittenText(path);
  if (!as_written) return false;
  struct stat info {};
  if (lstat(as_written->c_str(), &info) == 0 || errno != ENOENT) return false;
  const size_t separator = as_written->rfind('/');
  if (separator == std::string::npos) return false;
  const std::string folder = separator == 0 ? std::string("/") : as_written->substr(0, separator);
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool CreateFolder(std::u16string_view path) {
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return false;
  std::error_code ec;
  if (fs::create_directory(*host, ec) && !ec) return true;
  // Another run creating the same destination may have made it between our look and our create.
  std::error_code ec2;
  return fs::is_directory(*host, ec2);
}

namespace {

// The sorted names of the entries of a folder that `wanted` takes; empty when it cannot be read.
std::vector<std::u16string> EntryNames(std::u16string_view path,
                                       bool (fs::directory_entry::*wanted)(std::error_code&)
                                           const noexcept) {
  std::vector<std::u16string> names;
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return names;
  std::error_code ec;
  for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    if (((*it).*wanted)(ec2)) names.push_back(WindowsName(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<std::u16string> SubFolders(std::u16string_view path) {
  return EntryNames(path, &fs::directory_entry::is_directory);
}

std::vector<std::u16string> FileNames(std::u16string_view path) {
  return EntryNames(path, &fs::directory_entry::is_regular_file);
}

bool SamePlace(std::u16string_view a, std::u16string_view b) {
  const std::optional<fs::path> host_a = Drives().ToHost(a);
  const std::optional<fs::path> host_b = Drives().ToHost(b);
  if (!host_a || !host_b) return false;
  std::error_code ec;
  if (fs::equivalent(*host_a, *host_b, ec) && !ec) return true;
  // Neither or only one is there: compared as written, a trailing separator and "." set aside.
  const std::u16string text_a = Drives().FromHost((*host_a / "").lexically_normal());
  const std::u16string text_b = Drives().FromHost((*host_b / "").lexically_normal());
  return kNamesIgnoreLetterCase ? base::EqualsIgnoringAsciiCase(text_a, text_b) : text_a == text_b;
}

bool CanListFolder(std::u16string_view path) {
#ifndef _WIN32
  // Opening a folder for reading asks for the right to list it; every run of a batch asks this of
  // its source folder, so the folder is opened as written and not read, in two system calls.
  if (const std::optional<std::string> as_written = Drives().AsWrittenText(path)) {
    const int fd = open(as_written->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
      close(fd);
      return true;
    }
  }
#endif
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return false;
  std::error_code ec;
  fs::directory_iterator it(*host, ec);
  return !ec;
}

std::u16string WorkingFolder() {
  std::error_code ec;
  const fs::path folder = fs::current_path(ec);
  if (ec) return {};
  return Drives().FromHost(folder);
}

bool SetWorkingFolder(std::u16string_view path) {
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return false;
  std::error_code ec;
  fs::current_path(*host, ec);
  return !ec;
}

std::u16string DriveCaption(char16_t letter) {
  std::u16string caption{base::AsciiUpper(letter), u':'};
#ifdef _WIN32
  // The volume label, as drive lists show it ("C: [Windows]"); removable and optical drives are
  // not asked, so an empty drive never makes the list wait for it, and neither are the letters
  // the drive table maps.
  if (!Drives().IsMapped(letter)) {
    const wchar_t root[] = {static_cast<wchar_t>(base::AsciiUpper(letter)), L':', L'\\', L'\0'};
    const UINT type = GetDriveTypeW(root);
    wchar_t label[MAX_PATH + 1] = {};
    const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK) {
      if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
          label[0] != L'\0') {
        caption += u" [" + std::u16string(label, label + wcslen(label)) + u"]";
      }
    }
    SetErrorMode(old_mode);
  }
#else
  if (std::optional<fs::path> root = Drives().Root(letter)) {
    caption += u" [" + WindowsName(*root) + u"]";
  }
#endif
  return caption;
}

fs::path HostPath(std::u16string_view path) {
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) throw base::Error(base::Error::Kind::kFileMissing, std::u16string(path));
  return *host;
}

}  // namespace tjvx::platform
