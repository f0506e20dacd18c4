// The window's logic driven through a fake view: start-up, the folder and drive lists, the run
// from the run button, closing and help. The same logic stands behind every window.

#include "form/converter_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/message_host.h"
#include "base/utf.h"
#include "convert/check_report.h"
#include "platform/drives.h"
#include "platform/help.h"
#include "tests/test_support.h"

namespace tjvx::form {
namespace {

namespace fs = std::filesystem;

// A window that only records what the logic tells it and answers message boxes from a script.
class FakeView : public ConverterView {
 public:
  struct Box {
    std::u16string prompt;
    int style;
    std::u16string title;
    std::u16string status;  // what the status line showed while the box was up
  };
  struct FolderList {
    std::vector<FolderEntry> entries;
    int current = -1;
  };

  void SetText(TextControl control, std::u16string_view text) override {
    texts[control] = std::u16string(text);
  }
  std::u16string Text(TextControl control) override { return texts[control]; }
  void FillDriveList(Side side, const std::vector<DriveEntry>& list) override {
    drives[side] = list;
  }
  void ShowDrive(Side side, int index) override { shown_drives[side].push_back(index); }
  void FillFolderList(Side side, const std::vector<FolderEntry>& entries, int current) override {
    folders[side] = {entries, current};
  }
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    boxes.push_back(
        {std::u16string(prompt), style, std::u16string(title), texts[TextControl::kStatusLine]});
    if (answers.empty()) return base::kAnswerOk;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void SetPointer(int pointer) override { pointers.push_back(pointer); }
  void FocusAndSelectAll(TextControl control) override { focused.push_back(control); }
  void Close() override { closed = true; }
  void* NativeWindow() override { return nullptr; }
  bool OpenDocument(const fs::path& file) override {
    opened.push_back(file);
    return open_succeeds;
  }
  void ShowCheckReport(const CheckReport& report) override { reports.push_back(report); }
  bool ShowLog(const LogDrawing& log, std::u16string_view name) override {
    logs.push_back({log, std::u16string(name)});
    return true;
  }
  void EnableButton(Button button, bool enabled) override { enabled_buttons[button] = enabled; }

  std::map<TextControl, std::u16string> texts;
  std::map<Side, std::vector<DriveEntry>> drives;
  std::map<Side, std::vector<int>> shown_drives;
  std::map<Side, FolderList> folders;
  std::vector<Box> boxes;
  std::vector<int> answers;
  std::vector<int> pointers;
  std::vector<TextControl> focused;
  bool closed = false;
  std::vector<fs::path> opened;
  bool open_succeeds = true;
  std::vector<CheckReport> reports;
  struct Log {
    LogDrawing drawing;
    std::u16string name;
  };
  std::vector<Log> logs;
  std::map<Button, bool> enabled_buttons;
};

std::vector<std::u16string> Captions(const std::vector<FolderEntry>& entries) {
  std::vector<std::u16string> captions;
  for (const FolderEntry& entry : entries) captions.push_back(entry.caption);
  return captions;
}

// The sample borehole at C:\B-12 and the pattern folder at C:\DOZORA on temporary drives, named
// by a settings file in a temporary system folder; the working folder is C:\B-12.
class ConverterFormTest : public testing::Test {
 protected:
  void SetUp() override {
    test::CopyTree("samples/boreholes/B-12", drives_.c() / "B-12");
    test::CopyTree("samples/DOZORA", drives_.c() / "DOZORA");
    fs::create_directories(drives_.d() / "sys");
    test::SetEnvironment("TJVX_SYSDIR", drives_.d() / "sys");
    WriteSettings("\"C:\\DOZORA\\\"");
    working_folder_ = fs::current_path();
    fs::current_path(drives_.c() / "B-12");
  }
  void TearDown() override {
    fs::current_path(working_folder_);
    test::UnsetEnvironment("TJVX_SYSDIR");
  }

  void WriteSettings(const std::string& second_line) {
    std::ofstream ini(drives_.d() / "sys" / "DozoraV5.ini", std::ios::binary);
    ini << "[DOZORA]\r\n" << second_line << "\r\n";
  }

  // The index of a drive's entry in the lists.
  int DriveIndex(char16_t letter) const {
    const std::vector<DriveEntry>& list = form_.DriveEntries(Side::kSource);
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i].letter == letter) return static_cast<int>(i);
    }
    return -1;
  }

  test::TempDrives drives_;
  fs::path working_folder_;
  FakeView view_;
  ConverterForm form_{view_};
};

TEST_F(ConverterFormTest, StartUpShowsTheWorkingFolderAndFillsThePathBoxesOnLoad) {
  form_.FillLists();
  for (Side side : {Side::kSource, Side::kDestination}) {
    // The drive table's drives, each under its letter; the list shows the folder's drive.
    ASSERT_GE(DriveIndex(u'C'), 0);
    ASSERT_GE(DriveIndex(u'D'), 0);
    EXPECT_EQ(view_.drives[side], form_.DriveEntries(side));
    EXPECT_EQ(view_.drives[side][DriveIndex(u'C')].caption.substr(0, 2), u"C:");
    EXPECT_EQ(form_.Folder(side), u"C:\\B-12");
    EXPECT_EQ(view_.shown_drives[side], std::vector<int>{DriveIndex(u'C')});
    // The chain from the root, the current folder marked; B-12 has no subfolders.
    EXPECT_EQ(Captions(view_.folders[side].entries),
              (std::vector<std::u16string>{u"C:\\", u"B-12"}));
    EXPECT_EQ(view_.folders[side].current, 1);
  }
  // The path boxes are filled by the load, not before.
  EXPECT_TRUE(view_.texts[TextControl::kSourceFolderBox].empty());
  ASSERT_TRUE(form_.Start());
  EXPECT_TRUE(view_.boxes.empty());
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\B-12");
  EXPECT_EQ(view_.texts[TextControl::kDestinationBox], u"C:\\B-12");
}

TEST_F(ConverterFormTest, LoadWithoutPatternFolderSaysSoAndStops) {
  WriteSettings("\"C:\\NOWHERE\\\"");
  form_.FillLists();
  EXPECT_FALSE(form_.Start());
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, u" DOZORA の設定がありません.");
  EXPECT_EQ(view_.boxes[0].style, base::kMsgOk);
  // Nothing can be run without tables.
  form_.OnConvertClicked();
  EXPECT_EQ(view_.boxes.size(), 1u);
  EXPECT_TRUE(view_.pointers.empty());
}

TEST_F(ConverterFormTest, FolderListShowsTheChainThenTheSubfoldersAndOpensWhatIsChosen) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  ASSERT_TRUE(form_.SetFolder(Side::kSource, u"c:"));
  EXPECT_EQ(form_.Folder(Side::kSource), u"C:\\");
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\");
  EXPECT_EQ(platform::WorkingFolder(), u"C:\\");
  const std::vector<FolderEntry>& entries = view_.folders[Side::kSource].entries;
  ASSERT_EQ(Captions(entries), (std::vector<std::u16string>{u"C:\\", u"B-12", u"DOZORA"}));
  EXPECT_EQ(entries[2].path, u"C:\\DOZORA");
  EXPECT_EQ(entries[0].level, 0);
  EXPECT_TRUE(entries[0].open);
  EXPECT_EQ(entries[2].level, 1);
  EXPECT_FALSE(entries[2].open);
  EXPECT_EQ(view_.folders[Side::kSource].current, 0);
  // The destination side is left alone.
  EXPECT_EQ(form_.Folder(Side::kDestination), u"C:\\B-12");

  // Opening a subfolder shows the chain down to it and makes it the working folder.
  form_.OnFolderOpened(Side::kSource, 1);
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\B-12");
  EXPECT_EQ(Captions(view_.folders[Side::kSource].entries),
            (std::vector<std::u16string>{u"C:\\", u"B-12"}));
  EXPECT_EQ(view_.folders[Side::kSource].entries[1].level, 1);
  EXPECT_EQ(platform::WorkingFolder(), u"C:\\B-12");
  // Opening a folder of the chain goes back up; a row beyond the list does nothing.
  form_.OnFolderOpened(Side::kSource, 0);
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\");
  form_.OnFolderOpened(Side::kSource, 7);
  EXPECT_EQ(form_.Folder(Side::kSource), u"C:\\");

  // A folder gone since the list was filled drops out of the list; the path box keeps its text.
  fs::remove_all(drives_.c() / "DOZORA");
  form_.OnFolderOpened(Side::kSource, 2);
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\");
  EXPECT_EQ(Captions(view_.folders[Side::kSource].entries),
            (std::vector<std::u16string>{u"C:\\", u"B-12"}));
  // A path that is no folder changes nothing.
  EXPECT_FALSE(form_.SetFolder(Side::kSource, u"C:\\B-12\\X1.TXT"));
  EXPECT_FALSE(form_.SetFolder(Side::kSource, u"Q:\\"));
  EXPECT_EQ(form_.Folder(Side::kSource), u"C:\\");
}

TEST_F(ConverterFormTest, ChoosingADriveMovesItsFolderListAndMakesItCurrent) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  form_.OnDriveChanged(Side::kDestination, DriveIndex(u'D'));
  EXPECT_EQ(view_.texts[TextControl::kDestinationBox], u"D:\\");
  EXPECT_EQ(platform::CurrentDrive(), u'D');
  // Back on C: the list returns to the drive's root, not to where it was before.
  form_.OnDriveChanged(Side::kDestination, DriveIndex(u'C'));
  EXPECT_EQ(view_.texts[TextControl::kDestinationBox], u"C:\\");
  // A drive's entry leads to the folder the list already shows on it.
  ASSERT_TRUE(form_.SetFolder(Side::kDestination, u"C:\\DOZORA"));
  form_.OnDriveChanged(Side::kDestination, DriveIndex(u'C'));
  EXPECT_EQ(form_.Folder(Side::kDestination), u"C:\\DOZORA");
  EXPECT_TRUE(view_.boxes.empty());
}

TEST_F(ConverterFormTest, ALostDriveSetsTheDriveListBackOnceAndNeverLoops) {
  fs::create_directories(drives_.c().parent_path() / "e");
  platform::DriveTable table = platform::Drives();
  table.Map(u'E', drives_.c().parent_path() / "e");
  platform::SetDrives(table);
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  const int c_index = DriveIndex(u'C');
  const int e_index = DriveIndex(u'E');
  ASSERT_GE(e_index, 0);
  view_.shown_drives.clear();

  // The drive goes away after the list was filled: the list shows C: again, folder unchanged.
  fs::remove_all(drives_.c().parent_path() / "e");
  form_.OnDriveChanged(Side::kSource, e_index);
  EXPECT_EQ(view_.shown_drives[Side::kSource], std::vector<int>{c_index});
  EXPECT_EQ(form_.DriveIndex(Side::kSource), c_index);
  EXPECT_EQ(form_.Folder(Side::kSource), u"C:\\B-12");
  EXPECT_EQ(view_.texts[TextControl::kSourceFolderBox], u"C:\\B-12");

  // When the remembered drive is gone too, the list goes back once and stops there.
  fs::current_path(working_folder_);
  fs::remove_all(drives_.c());
  form_.OnDriveChanged(Side::kSource, e_index);
  EXPECT_EQ(view_.shown_drives[Side::kSource], (std::vector<int>{c_index, c_index}));
  EXPECT_EQ(form_.DriveIndex(Side::kSource), c_index);
  EXPECT_TRUE(view_.boxes.empty());
}

TEST_F(ConverterFormTest, RunButtonConvertsAfterOneQuestionAndRegistersTheSiteOnce) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  view_.texts[TextControl::kSourceFolderBox] = u"C:\\B-12";
  view_.texts[TextControl::kDestinationBox] = u"D:\\OUT\\LOGS";
  view_.answers = {base::kAnswerYes};
  form_.OnConvertClicked();

  // One question for the missing folders, asked while the busy text shows.
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, u"フォルダがありません。新規作成しますか？");
  EXPECT_EQ(view_.boxes[0].style, base::kMsgYesNoQuestion);
  EXPECT_EQ(view_.boxes[0].status, u"只今変換中！　しばらくお待ちください。");
  EXPECT_TRUE(view_.texts[TextControl::kStatusLine].ends_with(u"変換が正常に終了しました。"));
  // The hourglass once, then the arrow.
  EXPECT_EQ(view_.pointers,
            (std::vector<int>{convert::kPointerHourglass, convert::kPointerDefault}));
  const std::vector<std::u16string> lines =
      test::ConvertedLines(drives_.d() / "OUT" / "LOGS" / "B-12");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], u"GTJ Ge201");
  EXPECT_FALSE(fs::exists(drives_.c() / "B-12" / "MARGE.DAT"));

  // A second run of the same site asks nothing and registers the site once.
  form_.OnConvertClicked();
  EXPECT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(form_.registry().count(), 1);
  EXPECT_EQ(form_.registry().Site(1), u"B-12");
}

TEST_F(ConverterFormTest, TheCheckReportIsSavedUnderTheFoldersName) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  view_.texts[TextControl::kSourceFolderBox] = u"C:\\B-12\\";
  form_.OnCheckClicked();
  ASSERT_EQ(view_.reports.size(), 1u);
  EXPECT_EQ(view_.reports[0].file_name, u"点検結果_B-12.txt");
  // A drive's root has no name of its own.
  view_.texts[TextControl::kSourceFolderBox] = u"C:\\";
  form_.OnCheckClicked();
  ASSERT_EQ(view_.reports.size(), 2u);
  EXPECT_EQ(view_.reports[1].file_name, u"点検結果.txt");
}

TEST_F(ConverterFormTest, CheckButtonReportsTheSourceFolderAndTheRunCountsItsWarnings) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  EXPECT_FALSE(view_.enabled_buttons[Button::kShowLog]);
  view_.texts[TextControl::kSourceFolderBox] = u" C:\\B-12 ";  // the window's box is trimmed
  form_.OnCheckClicked();
  ASSERT_EQ(view_.reports.size(), 1u);
  const CheckReport& report = view_.reports[0];
  EXPECT_EQ(report.title, u"点検結果 - C:\\B-12");
  ASSERT_EQ(report.lines.size(), 6u);
  EXPECT_EQ(report.lines[0].file, u"X3.TXT");
  EXPECT_EQ(report.lines[0].line, 5);
  EXPECT_EQ(report.lines[0].severity, base::Severity::kWarning);
  EXPECT_TRUE(report.text.starts_with(report.lines[0].text + u"\n"));
  EXPECT_NE(report.summary.find(u"警告 4 件"), std::u16string::npos);
  EXPECT_TRUE(view_.boxes.empty());
  // Nothing was written: no converted file anywhere under the source.
  EXPECT_FALSE(fs::exists(drives_.c() / "B-12" / "B-12"));

  view_.texts[TextControl::kDestinationBox] = u"D:\\";
  form_.OnConvertClicked();
  EXPECT_TRUE(view_.texts[TextControl::kStatusLine].ends_with(u"変換が正常に終了しました。"));
  EXPECT_EQ(view_.texts[TextControl::kWarningsLine], convert::WarningsLine(4));
  EXPECT_TRUE(view_.enabled_buttons[Button::kShowLog]);
  EXPECT_EQ(form_.last_converted(), u"D:\\B-12");

  // The log button draws the file just made.
  form_.OnShowLogClicked();
  ASSERT_EQ(view_.logs.size(), 1u)
      << (view_.boxes.empty() ? "" : base::ToUtf8(view_.boxes[0].prompt));
  EXPECT_EQ(view_.logs[0].name, u"B-12");
  // The screen's one long page, and the A4 pages it prints, also as one HTML document.
  const LogDrawing& log = view_.logs[0].drawing;
  EXPECT_NE(log.svg.find("<svg"), std::string::npos);
  ASSERT_EQ(log.a4_pages.size(), 1u);
  EXPECT_NE(log.a4_pages[0].find("width=\"210mm\" height=\"297mm\""), std::string::npos);
  EXPECT_NE(log.a4_html.find("<title>B-12</title>"), std::string::npos);

  // A failed run clears the count and disables the log button.
  view_.texts[TextControl::kSourceFolderBox] = u"C:\\NONE";
  form_.OnConvertClicked();
  EXPECT_EQ(view_.texts[TextControl::kWarningsLine], u"");
  EXPECT_FALSE(view_.enabled_buttons[Button::kShowLog]);
}

TEST_F(ConverterFormTest, BadDestinationSaysSoAndSelectsTheDestinationBox) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  view_.texts[TextControl::kSourceFolderBox] = u"C:\\B-12";
  view_.texts[TextControl::kDestinationBox] = u"D:\\OUT*";
  form_.OnConvertClicked();
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, u"指定されたパスは正しくありません。");
  EXPECT_EQ(view_.boxes[0].style, base::kMsgExclamation);
  EXPECT_EQ(view_.boxes[0].title, u"D:\\OUT*");
  EXPECT_EQ(view_.focused, std::vector<TextControl>{TextControl::kDestinationBox});
  EXPECT_TRUE(view_.texts[TextControl::kStatusLine].empty());
  EXPECT_FALSE(fs::exists(drives_.d() / "OUT*"));
  // The pointer was never turned into an hourglass, so it is not set back either.
  EXPECT_TRUE(view_.pointers.empty());
}

TEST_F(ConverterFormTest, CloseButtonCloses) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  EXPECT_FALSE(view_.closed);
  form_.OnCloseClicked();
  EXPECT_TRUE(view_.closed);
}

TEST_F(ConverterFormTest, HelpWithoutTheHelpFileOpensTheManualElseSaysSo) {
  form_.FillLists();
  ASSERT_TRUE(form_.Start());
  const fs::path manual = drives_.c() / "manual.html";
  std::ofstream(manual) << "<html></html>";
  form_.SetHelpFiles(std::nullopt, manual);
  form_.ShowHelp(platform::kHelpContents);
  EXPECT_EQ(view_.opened, std::vector<fs::path>{manual});
  EXPECT_TRUE(view_.boxes.empty());
  // A browser that cannot be started is reported with the manual's name.
  view_.open_succeeds = false;
  form_.ShowHelp(platform::kHelpContents);
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, u"ヘルプを表示できませんでした。\n" + manual.u16string());
  EXPECT_EQ(view_.boxes[0].style, base::kMsgExclamation);
  // Neither the help file nor the manual: a message says so.
  form_.SetHelpFiles(std::nullopt, std::nullopt);
  form_.ShowHelp(platform::kHelpContents);
  ASSERT_EQ(view_.boxes.size(), 2u);
  EXPECT_EQ(view_.boxes[1].prompt, kNoManualMessage);
  EXPECT_EQ(view_.boxes[1].style, base::kMsgInformation);
  EXPECT_EQ(view_.opened.size(), 2u);
}

TEST(HelpFile, IsFoundBesideTheProgramThenAlongPathInAnyLetterCase) {
  test::TempDrives drives;
  const fs::path program = drives.c() / "bin";
  const fs::path first = drives.c() / "p1";
  const fs::path second = drives.c() / "p2";
  for (const fs::path& folder : {program, first, second}) fs::create_directories(folder);
#ifdef _WIN32
  const std::string path = first.string() + ";;" + second.string();
#else
  const std::string path = first.string() + "::" + second.string();
#endif
  // The folder the help file was found in (on Windows the name comes back as the program asked).
  auto found_in = [&] {
    std::optional<fs::path> file = platform::FindHelpFile(program, path);
    return file ? file->parent_path() : fs::path();
  };
  EXPECT_EQ(found_in(), fs::path());
  std::ofstream(second / "brevant.hlp") << "help";
  EXPECT_EQ(found_in(), second);
  std::ofstream(first / "Brevant.HLP") << "help";
  EXPECT_EQ(found_in(), first);
  std::ofstream(program / "Brevant.HLP") << "help";
  EXPECT_EQ(found_in(), program);
  // A folder named like the help file is not a help file.
  fs::remove(program / "Brevant.HLP");
  fs::create_directories(program / "Brevant.HLP");
  EXPECT_EQ(found_in(), first);
}

}  // namespace
}  // namespace tjvx::form
