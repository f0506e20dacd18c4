#ifndef TJVX_FORM_VIEW_H_
#define TJVX_FORM_VIEW_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/findings.h"

namespace tjvx::form {

// The log of a converted file as a window shows and prints it, all UTF-8: the whole log on one
// page for the screen, and the same log on A4 pages, each page an SVG of its own and all of them
// in one HTML document that a browser prints sheet for sheet.
struct LogDrawing {
  std::string svg;
  std::vector<std::string> a4_pages;
  std::string a4_html;
};

// The two halves of the window, each a drive list, a folder list and a path box: the source and the
// destination.
enum class Side { kSource, kDestination };

// The controls whose text the logic sets or reads: the two path boxes, the status line in the
// message frame, and the warnings line under it that counts the warnings of the last conversion.
enum class TextControl { kSourceFolderBox, kDestinationBox, kStatusLine, kWarningsLine };

// The buttons the logic enables and disables.
enum class Button { kShowLog };

// What a check of the source folder found, as the report dialog shows it.
struct CheckReport {
  std::u16string title;  // the dialog's title: "点検結果 - C:\DATA\B-12"
  struct Line {
    base::Severity severity;
    std::u16string file;  // "X7.TXT"
    long long line;       // 0: the whole file
    std::u16string text;  // the finding as one line of the report
  };
  std::vector<Line> lines;   // sorted by the file order of a conversion, then by line
  std::u16string summary;    // the counts, and the message a conversion stops with
  std::u16string text;       // the whole report, as copied or saved (UTF-8 when saved)
  std::u16string file_name;  // the file it is saved as: "点検結果_B-12.txt"
};

// One entry of a drive list.
struct DriveEntry {
  char16_t letter;         // upper case
  std::u16string caption;  // what the list shows ("C:", elsewhere "C: [/srv/data]")
  bool operator==(const DriveEntry&) const = default;
};

// One entry of a folder list: the folders from the drive's root down to the current folder, each
// one step further in, with an open-folder mark, then the current folder's subfolders with a
// closed-folder mark.
struct FolderEntry {
  std::u16string caption;  // the root ("C:\") or the folder's name
  std::u16string path;     // the folder in Windows form
  int level;               // steps of indentation
  bool open;               // a folder of the chain (open) or a subfolder (closed)
  bool operator==(const FolderEntry&) const = default;
};

// What the window's logic needs of a window: set and read texts, fill the lists, show message
// boxes, set the pointer, focus a box. A Qt window, a Win32 window and the tests' fake each
// implement it; none of them decides anything.
class ConverterView {
 public:
  virtual ~ConverterView() = default;

  virtual void SetText(TextControl control, std::u16string_view text) = 0;
  virtual std::u16string Text(TextControl control) = 0;

  // Fills a drive list; no entry is chosen yet.
  virtual void FillDriveList(Side side, const std::vector<DriveEntry>& drives) = 0;
  // Shows entry `index` of a drive list as chosen, without reporting a change back.
  virtual void ShowDrive(Side side, int index) = 0;
  // Fills a folder list and marks entry `current` (the current folder).
  virtual void FillFolderList(Side side, const std::vector<FolderEntry>& entries, int current) = 0;

  // Shows a message box with the buttons and icon of `style`, a base::MessageStyle's value
  // (kMsgOk, kMsgYesNoQuestion, kMsgExclamation, kMsgInformation), under `title` and returns its
  // answer (base::MessageStyle::Answer): whatever closes a Yes/No box but Yes is No.
  virtual int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) = 0;
  // kPointerHourglass or kPointerDefault; the logic changes it only when it changes.
  virtual void SetPointer(int pointer) = 0;
  // Puts the focus into a text box and selects all its text.
  virtual void FocusAndSelectAll(TextControl control) = 0;
  virtual void Close() = 0;
  // The window help is shown for (a window handle on Windows), or null.
  virtual void* NativeWindow() = 0;
  // Opens a document (the manual) in the system's browser; false when it could not be started.
  virtual bool OpenDocument(const std::filesystem::path& file) = 0;

  // Shows a check's report in a dialog: the list, severity marked, copyable, savable as a UTF-8
  // text file.
  virtual void ShowCheckReport(const CheckReport& report) = 0;
  // Shows the log drawing of a converted file (`name` is the converted file's name), and prints
  // it page for page. False, after the view's own message, when it cannot be shown.
  virtual bool ShowLog(const LogDrawing& log, std::u16string_view name) = 0;
  virtual void EnableButton(Button button, bool enabled) = 0;
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_VIEW_H_
