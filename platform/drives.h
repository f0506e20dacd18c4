#ifndef TJVX_PLATFORM_DRIVES_H_
#define TJVX_PLATFORM_DRIVES_H_

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tjvx::platform {

// Paths keep the Windows form the users know ("C:\DATA\B-12"). On Windows the drives are the real
// ones. Elsewhere a drive table maps letters to host folders: Z: is "/" (as under Wine) and more
// letters come from TJVX_DRIVES, e.g. "C=/srv/data;D=/mnt/usb". On Windows the table starts empty
// and a letter mapped in it stands in front of the real drive of that letter for this process
// only, as the tests map C: and D: to temporary folders.
// How the last name of a path is looked up on a case-sensitive file system: in any letter case
// (the fixed file names, which folders copied from Windows often change), or only as written (the
// converted file, named after the user's own folder; looking it up in any case would read the
// whole destination folder, once for every borehole of a batch).
enum class LastName { kAnyCase, kAsWritten };

class DriveTable {
 public:
  // Z: mapped to "/" only.
  DriveTable();
  // Z: plus the letters of TJVX_DRIVES.
  static DriveTable FromEnvironment();

  // Maps a letter (either case) to a host folder; replaces an earlier mapping of the letter.
  void Map(char16_t letter, std::filesystem::path root);
  // The drive letters, upper case, in order.
  std::vector<char16_t> Letters() const;
  bool IsMapped(char16_t letter) const;
  std::optional<std::filesystem::path> Root(char16_t letter) const;

  // The host path of a Windows-form path "X:\a\b" (also "X:a\b" and "X:"); repeated separators
  // count as one. Components that exist under another letter case are found under that case.
  // Empty when the path has no drive letter or the letter is not mapped.
  std::optional<std::filesystem::path> ToHost(std::u16string_view path,
                                              LastName last = LastName::kAnyCase) const;
  // The host path with every name as written, without looking at the file system: what ToHost
  // gives whenever that path exists.
  std::optional<std::filesystem::path> AsWritten(std::u16string_view path) const;
  // The same as the host's file calls take it, without making it a path (which takes it apart
  // into its names): for a file that is only opened or looked at.
  std::optional<std::filesystem::path::string_type> AsWrittenText(std::u16string_view path) const;

  // The Windows form of a host path (absolute or relative to the working folder): the mapped drive
  // whose root is the longest prefix of the absolute path, else Z: (on Windows: else the absolute
  // path itself).
  std::u16string FromHost(const std::filesystem::path& host) const;

 private:
  std::map<char16_t, std::filesystem::path> roots_;
};

// The drive table of the process. Tests install their own.
const DriveTable& Drives();
void SetDrives(DriveTable table);

// Whether the system drops trailing blanks and dots from names when it looks them up (Windows),
// so that "B-12 " would open "B-12".
#ifdef _WIN32
inline constexpr bool kNamesLoseTrailingBlanksAndDots = true;
#else
inline constexpr bool kNamesLoseTrailingBlanksAndDots = false;
#endif

// Whether "\" separates the names of a host path (Windows), rather than being a character a name
// may hold.
#ifdef _WIN32
inline constexpr bool kBackslashSeparates = true;
#else
inline constexpr bool kBackslashSeparates = false;
#endif

// Whether names differing only in letter case are one name (Windows).
#ifdef _WIN32
inline constexpr bool kNamesIgnoreLetterCase = true;
#else
inline constexpr bool kNamesIgnoreLetterCase = false;
#endif

// Makes the drive of `letter` the current drive. False when the letter is not a drive or its root
// cannot be reached.
bool MakeDriveCurrent(char16_t letter);
// The current drive letter, upper case.
char16_t CurrentDrive();

// Attributes of a directory search hit, with the values of the classic attribute bits.
struct EntryInfo {
  static constexpr int kReadOnly = 1;
  static constexpr int kHidden = 2;
  static constexpr int kDirectory = 16;
  int attributes = 0;
  bool IsDirectory() const { return (attributes & kDirectory) != 0; }
};

// A directory search for one Windows-form path: its attributes, or nothing when there is no entry.
std::optional<EntryInfo> FindEntry(std::u16string_view path, LastName last = LastName::kAnyCase);
// Whether nothing at all (not even a link that leads nowhere) stands at the Windows-form `path` as
// written, in a folder that is there as written: the place a new file of that name would take.
// False where that is not settled by two looks (and on Windows, where names are found in any
// letter case): the caller then looks the place up in full.
bool IsVacant(std::u16string_view path);
// Creates one folder. True also when the folder is there already, as when another run made it a
// moment before; false when it cannot be created.
bool CreateFolder(std::u16string_view path);
// The names of the subfolders of a folder, sorted; empty when it cannot be read.
std::vector<std::u16string> SubFolders(std::u16string_view path);
// The names of the regular files of a folder (no folders, pipes or devices), sorted; empty when it
// cannot be read.
std::vector<std::u16string> FileNames(std::u16string_view path);

// Whether two Windows-form paths name one file or folder: the same one on the disk, or, where one
// of them is not there (yet), the same host path (in any letter case where the system ignores it).
bool SamePlace(std::u16string_view a, std::u16string_view b);

// Whether the entries of a folder can be listed (and so its files looked up in any letter case).
bool CanListFolder(std::u16string_view path);

// The working folder in Windows form, or empty when it cannot be read.
std::u16string WorkingFolder();
// Makes a Windows-form folder the working folder; false when it cannot.
bool SetWorkingFolder(std::u16string_view path);

// What a drive list shows for a drive: "C:", and elsewhere than on Windows the host folder the
// letter leads to ("C: [/srv/data]").
std::u16string DriveCaption(char16_t letter);

// Host path of a Windows-form path for opening a file; throws Error::Kind::kFileMissing naming the
// path when its drive is unknown.
std::filesystem::path HostPath(std::u16string_view path);

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_DRIVES_H_
