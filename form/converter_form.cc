#include "form/converter_form.h"

#include "base/error.h"
#include "base/message_host.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/check_report.h"
#include "converted/reader.h"
#include "drawing/html.h"
#include "drawing/log_layout.h"
#include "drawing/log_records.h"
#include "drawing/svg.h"
#include "form/file_names.h"
#include "platform/drives.h"
#include "platform/help.h"
#include "source/code_table.h"
#include "source/settings.h"
#include "text/trim.h"

namespace tjvx::form {
namespace {

// Whether a Windows-form path lies on the drive "C:".
bool OnDrive(std::u16string_view path, std::u16string_view drive) {
  return base::StartsWithDrive(path) && drive.size() >= 2 &&
         base::AsciiUpper(path[0]) == base::AsciiUpper(drive[0]);
}

// "C:", "C:\" and "C:\DATA\" become "C:\" and "C:\DATA": a root keeps its "\", a folder does not.
std::u16string Normalised(std::u16string_view path) {
  std::u16string out(base::WithoutTrailingBackslashes(path, 3));
  if (out.size() == 2 && out[1] == u':') out += u'\\';
  if (!out.empty()) out[0] = base::AsciiUpper(out[0]);
  return out;
}

std::u16string Child(const std::u16string& folder, const std::u16string& name) {
  return folder.back() == u'\\' ? folder + name : folder + u"\\" + name;
}

TextControl PathBox(Side side) {
  return side == Side::kSource ? TextControl::kSourceFolderBox : TextControl::kDestinationBox;
}

}  // namespace

ConverterForm::ConverterForm(ConverterView& view) : view_(view) {}

void ConverterForm::FillLists() {
  std::vector<DriveEntry> drives;
  for (char16_t letter : platform::Drives().Letters()) {
    drives.push_back({letter, platform::DriveCaption(letter)});
  }
  const std::u16string start = platform::WorkingFolder();
  for (Side side : {Side::kSource, Side::kDestination}) {
    SideState& state = Of(side);
    state.drives = drives;
    view_.FillDriveList(side, drives);
    bool changed = false;
    if (start.empty() || !MoveFolderList(side, start, &changed)) {
      for (const DriveEntry& drive : drives) {
        if (MoveFolderList(side, std::u16string{drive.letter, u':'}, &changed)) break;
      }
    }
    ShowDriveOf(side);
  }
}

void ConverterForm::ShowDriveOf(Side side) {
  SideState& state = Of(side);
  // The list shows the drive of its folder, else its first entry.
  int index = state.drives.empty() ? -1 : 0;
  for (size_t i = 0; i < state.drives.size() && !state.folder.empty(); ++i) {
    if (state.drives[i].letter == base::AsciiUpper(state.folder[0])) index = static_cast<int>(i);
  }
  state.drive_index = state.remembered = index;
  if (index >= 0) view_.ShowDrive(side, index);
}

bool ConverterForm::Start() {
  std::optional<std::u16string> pattern = source::StartupPatternFolder(*this);
  if (!pattern) return false;
  pattern_folder_ = *pattern;
  help_file_ = platform::FindHelpFile();
  manual_ = platform::FindManual();
  view_.SetText(TextControl::kSourceFolderBox, Folder(Side::kSource));
  view_.SetText(TextControl::kDestinationBox, Folder(Side::kDestination));
  view_.EnableButton(Button::kShowLog, false);
  return true;
}

bool ConverterForm::MoveFolderList(Side side, std::u16string_view path, bool* changed) {
  std::u16string folder = Normalised(path);
  std::optional<platform::EntryInfo> entry = platform::FindEntry(folder);
  if (folder.size() < 3 || !entry || !entry->IsDirectory()) return false;
  SideState& state = Of(side);
  *changed = folder != state.folder;
  state.folder = std::move(folder);
  RefreshFolderList(side);
  return true;
}

bool ConverterForm::SetFolder(Side side, std::u16string_view path) {
  bool changed = false;
  if (!MoveFolderList(side, path, &changed)) return false;
  if (changed) {
    const std::u16string& folder = Of(side).folder;
    view_.SetText(PathBox(side), folder);
    // The chosen folder becomes the working folder, as for any program that browses.
    platform::SetWorkingFolder(folder);
  }
  return true;
}

void ConverterForm::RefreshFolderList(Side side) {
  SideState& state = Of(side);
  const std::u16string& folder = state.folder;
  state.entries.clear();
  if (folder.empty()) {
    view_.FillFolderList(side, state.entries, -1);
    return;
  }
  // The chain from the root down to the current folder, each level one step further in.
  std::u16string chain = folder.substr(0, 3);
  int level = 0;
  state.entries.push_back({chain, chain, level, true});
  for (size_t start = 3; start < folder.size();) {
    size_t end = folder.find(u'\\', start);
    if (end == std::u16string::npos) end = folder.size();
    std::u16string name = folder.substr(start, end - start);
    chain = Child(chain, name);
    state.entries.push_back({std::move(name), chain, ++level, true});
    start = end + 1;
  }
  const int current = static_cast<int>(state.entries.size()) - 1;
  for (std::u16string& name : platform::SubFolders(folder)) {
    std::u16string path = Child(folder, name);
    state.entries.push_back({std::move(name), std::move(path), level + 1, false});
  }
  view_.FillFolderList(side, state.entries, current);
}

void ConverterForm::OnFolderOpened(Side side, int row) {
  const std::vector<FolderEntry>& entries = Of(side).entries;
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  const std::u16string path = entries[static_cast<size_t>(row)].path;
  // A folder gone since the list was filled is dropped from the list by reading it again.
  if (!SetFolder(side, path)) RefreshFolderList(side);
}

void ConverterForm::OnDriveChanged(Side side, int index) {
  SideState& state = Of(side);
  state.drive_index = index;
  const bool listed = index >= 0 && static_cast<size_t>(index) < state.drives.size();
  const std::u16string letter =
      listed ? std::u16string{state.drives[static_cast<size_t>(index)].letter, u':'} : u"";
  // A drive's entry leads to the folder the list already shows on it, else to its root.
  const std::u16string target = OnDrive(state.folder, letter) ? state.folder : letter;
  bool ok = listed && SetFolder(side, target);
  if (ok) {
    state.remembered = index;
    ok = platform::MakeDriveCurrent(letter[0]);
  }
  if (ok || state.restoring || state.remembered == index || state.remembered < 0) return;
  // Going back handles the remembered entry's change in turn; a failure there ends it.
  state.restoring = true;
  view_.ShowDrive(side, state.remembered);
  OnDriveChanged(side, state.remembered);
  state.restoring = false;
}

void ConverterForm::OnConvertClicked() {
  if (pattern_folder_.empty()) return;
  // Each run reads the tables afresh, so a table edited between two runs is seen by the second.
  source::PatternTables tables(pattern_folder_);
  view_.SetText(TextControl::kWarningsLine, u"");
  const convert::RunResult result = convert::RunConversion(*this, tables, &registry_);
  // A run that stopped on a failure gives the pointer back as well.
  SetPointer(convert::kPointerDefault);
  const bool converted = result.outcome == convert::RunOutcome::kConverted;
  last_converted_ = converted ? result.converted_file : std::u16string();
  view_.EnableButton(Button::kShowLog, converted);
  if (converted && result.warnings > 0) {
    view_.SetText(TextControl::kWarningsLine, convert::WarningsLine(result.warnings));
  }
}

void ConverterForm::OnCheckClicked() {
  if (pattern_folder_.empty()) return;
  const std::u16string folder = view_.Text(TextControl::kSourceFolderBox);
  if (text::Trim(folder).empty()) {
    ShowMessage(convert::kNoSourceMessage, base::kMsgOk, {});
    return;
  }
  SetPointer(convert::kPointerHourglass);
  source::PatternTables tables(pattern_folder_);
  const convert::CheckResult result = convert::CheckSourceFolder(folder, tables, false);
  SetPointer(convert::kPointerDefault);

  CheckReport report;
  report.title = std::u16string(kReportTitle) + u" - " + result.folder;
  for (const base::Finding& finding : result.findings) {
    report.lines.push_back({finding.severity, std::u16string(convert::FindingFileName(finding)),
                            finding.line, convert::FindingLine(finding)});
  }
  report.summary = convert::CountsLine(result.folder, result);
  if (result.stop) report.summary.append(u"\n").append(convert::StopLines(result));
  report.text = convert::ReportText(result.folder, result);
  report.file_name = ReportFileName(result.folder);
  view_.ShowCheckReport(report);
}

void ConverterForm::OnShowLogClicked() {
  if (last_converted_.empty()) return;
  SetPointer(convert::kPointerHourglass);
  const std::u16string_view path = last_converted_;
  const std::u16string_view name = base::LastName(path);
  LogDrawing log;
  std::u16string failure;
  try {
    // The file is read once for the screen's long page and the printer's A4 pages.
    drawing::LogContents contents = drawing::ReadLogContentsAt(last_converted_);
    log.svg = drawing::WriteSvg(drawing::LayOutLogContents(contents, drawing::LayoutOptions{}));
    drawing::LayoutOptions a4;
    a4.paper = drawing::Paper::kA4;
    const drawing::Drawing pages = drawing::LayOutLogContents(std::move(contents), a4);
    for (size_t i = 0; i < pages.pages.size(); ++i) {
      log.a4_pages.push_back(drawing::WritePageSvg(pages, i));
    }
    log.a4_html = drawing::WriteHtml(pages, name);
  } catch (const base::Error& error) {
    // A refused converted file too: its refusal is an Error of its own.
    failure = error.Message();
  } catch (const std::exception& error) {
    failure = base::FromUtf8(error.what());
  }
  SetPointer(convert::kPointerDefault);
  if (!failure.empty()) {
    ShowMessage(u"柱状図を描けませんでした。\n" + last_converted_ + u"\n" + failure,
                base::kMsgExclamation, {});
    return;
  }
  view_.ShowLog(log, name);
}

void ConverterForm::OnCloseClicked() { view_.Close(); }

void ConverterForm::ShowHelp(int context) {
  if (!help_file_) {
    if (!manual_) {
      ShowMessage(kNoManualMessage, base::kMsgInformation, {});
    } else if (!view_.OpenDocument(*manual_)) {
      ShowMessage(std::u16string(kHelpFailedMessage) + u"\n" + manual_->u16string(),
                  base::kMsgExclamation, {});
    }
    return;
  }
  if (!platform::ShowHelp(*help_file_, context, view_.NativeWindow())) {
    ShowMessage(std::u16string(kHelpFailedMessage) + u"\n" + help_file_->u16string(),
                base::kMsgExclamation, {});
  }
}

void ConverterForm::SetPointer(int pointer) {
  if (pointer == convert::kPointerHourglass && !hourglass_) {
    hourglass_ = true;
    view_.SetPointer(pointer);
  } else if (pointer == convert::kPointerDefault && hourglass_) {
    hourglass_ = false;
    view_.SetPointer(pointer);
  }
}

}  // namespace tjvx::form
