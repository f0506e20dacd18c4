// The Win32 window driven by window messages, as a user's clicks and keys reach it: captions and
// tab order, picking a drive, opening folders by double-click and Enter, typing the paths,
// pressing the run button with the question box answered from a second thread, the converted
// file and the warnings line, the check's report dialog driven from a second thread, the log
// button and its SVG file, message boxes, the hourglass, F1 and closing. Runs under Wine with a
// virtual display.

#include "win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/message_host.h"
#include "base/utf.h"
#include "convert/check_report.h"
#include "convert/run.h"
#include "form/converter_form.h"
#include "platform/help.h"
#include "source/code_table.h"
#include "tests/test_support.h"
#include "win32/report_dialog.h"

namespace tjvx::win32 {
namespace {

namespace fs = std::filesystem;

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return std::u16string(text.begin(), text.end());
}

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string ListText(HWND list, int row, bool combo) {
  const UINT length_message = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT text_message = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const auto length = SendMessageW(list, length_message, static_cast<WPARAM>(row), 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, text_message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return std::u16string(text.begin(), text.end());
}

std::vector<std::u16string> ListTexts(HWND list, bool combo) {
  std::vector<std::u16string> texts;
  const auto count = SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (int row = 0; row < count; ++row) texts.push_back(ListText(list, row, combo));
  return texts;
}

// A message box as a second thread found it: its title, text, buttons and whether it shows an
// icon.
struct SeenBox {
  std::u16string title;
  std::u16string text;
  std::vector<int> buttons;
  bool icon = false;
};

// Answers the modal message boxes of the window's thread from a thread of its own, as a user
// would: it waits for each box, notes what it shows and presses the next scripted button.
class BoxAnswerer {
 public:
  BoxAnswerer(DWORD ui_thread, std::vector<int> presses)
      : ui_thread_(ui_thread), presses_(std::move(presses)), thread_([this] { Loop(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<SeenBox> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK Inspect(HWND child, LPARAM seen_box) {
    auto& box = *reinterpret_cast<SeenBox*>(seen_box);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    const std::wstring kind = name;
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
      box.buttons.push_back(GetDlgCtrlID(child));
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        // A box without an icon may keep a hidden, empty icon control.
        box.icon = box.icon ||
                   (IsWindowVisible(child) != FALSE && SendMessageW(child, STM_GETICON, 0, 0) != 0);
      } else if (std::u16string text = WindowText(child); !text.empty()) {
        box.text = text;
      }
    }
    return TRUE;
  }
  void Loop() {
    while (!stop_) {
      HWND box = nullptr;
      EnumThreadWindows(ui_thread_, FindBox, reinterpret_cast<LPARAM>(&box));
      if (box == nullptr || box == last_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      SeenBox seen;
      seen.title = WindowText(box);
      EnumChildWindows(box, Inspect, reinterpret_cast<LPARAM>(&seen));
      int press = IDOK;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(seen);
        if (!presses_.empty()) {
          press = presses_.front();
          presses_.erase(presses_.begin());
        }
      }
      last_ = box;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, press)));
    }
  }

  DWORD ui_thread_;
  std::vector<int> presses_;
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::atomic<bool> stop_{false};
  HWND last_ = nullptr;
  std::thread thread_;
};

// Waits on a thread of its own for the first dialog the window's thread shows, and hands it to
// `act` on that thread, as a user facing the dialog would. `act` closes the dialog; when no
// dialog comes within 20 seconds nothing is done.
class DialogDriver {
 public:
  DialogDriver(DWORD ui_thread, std::function<void(HWND)> act)
      : ui_thread_(ui_thread), act_(std::move(act)), thread_([this] { Loop(); }) {}
  ~DialogDriver() { thread_.join(); }
  bool found() const { return found_; }

 private:
  static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  void Loop() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      HWND dialog = nullptr;
      EnumThreadWindows(ui_thread_, FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog != nullptr) {
        found_ = true;
        act_(dialog);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  DWORD ui_thread_;
  std::function<void(HWND)> act_;
  std::atomic<bool> found_{false};
  std::thread thread_;
};

// A row of the report dialog's list as another thread reads it.
struct SeenRow {
  std::u16string severity, file, line, message;
  int icon = -1;
};

std::u16string CellText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 1024;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::u16string(text, text + wcslen(text));
}

std::vector<SeenRow> ListRows(HWND list) {
  std::vector<SeenRow> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    SeenRow seen{CellText(list, row, 0), CellText(list, row, 1), CellText(list, row, 2),
                 CellText(list, row, 3)};
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    seen.icon = item.iImage;
    rows.push_back(seen);
  }
  return rows;
}

std::u16string ClipboardText() {
  std::u16string text;
  if (OpenClipboard(nullptr) == FALSE) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// The sample borehole at C:\B-12 and the pattern folder at C:\DOZORA on temporary drives, named
// by a settings file in a temporary system folder; a shown window over them.
class Win32WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    test::CopyTree("samples/boreholes/B-12", drives_.c() / "B-12");
    test::CopyTree("samples/DOZORA", drives_.c() / "DOZORA");
    fs::create_directories(drives_.d() / "sys");
    test::SetEnvironment("TJVX_SYSDIR", drives_.d() / "sys");
    std::ofstream(drives_.d() / "sys" / "DozoraV5.ini", std::ios::binary)
        << "[DOZORA]\r\n\"C:\\DOZORA\\\"\r\n";
    working_folder_ = fs::current_path();
    fs::current_path(drives_.c() / "B-12");
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr))) << "error " << GetLastError();
    ASSERT_TRUE(window_.Start());
    ShowWindow(window_.hwnd(), SW_SHOW);
    UpdateWindow(window_.hwnd());
    Pump();
  }
  void TearDown() override {
    fs::current_path(working_folder_);
    test::UnsetEnvironment("TJVX_SYSDIR");
  }

  // Handles what is waiting in the thread's queue, as the message loop would.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message != WM_QUIT) window_.ProcessMessage(message);
    }
  }
  HWND Control(int id) { return window_.Control(id); }
  void Select(int list_id, int row, bool combo) {
    HWND list = Control(list_id);
    SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(window_.hwnd(), WM_COMMAND,
                 MAKEWPARAM(list_id, combo ? CBN_SELCHANGE : LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
  }
  int RowOf(int list_id, std::u16string_view text, bool combo) {
    const std::vector<std::u16string> texts = ListTexts(Control(list_id), combo);
    for (size_t row = 0; row < texts.size(); ++row) {
      if (texts[row].starts_with(text)) return static_cast<int>(row);
    }
    return -1;
  }
  void Type(int box_id, std::u16string_view text) {
    SetWindowTextW(Control(box_id), Wide(text).c_str());
  }

  test::TempDrives drives_;
  fs::path working_folder_;
  MainWindow window_;
};

TEST_F(Win32WindowTest, EveryControlHasItsCaptionAndTheTabKeyGoesInTheirOrder) {
  EXPECT_EQ(WindowText(window_.hwnd()), form::kWindowCaption);
  EXPECT_EQ(WindowText(Control(kSourceFrame)), form::kSourceFrameCaption);
  EXPECT_EQ(WindowText(Control(kDestinationFrame)), form::kDestinationFrameCaption);
  EXPECT_EQ(WindowText(Control(kMessageFrame)), form::kMessageFrameCaption);
  EXPECT_EQ(WindowText(Control(kSourceLabel)), form::kSourceLabelCaption);
  EXPECT_EQ(WindowText(Control(kDestinationLabel)), form::kDestinationLabelCaption);
  EXPECT_EQ(WindowText(Control(kStatusLine)), u"");
  EXPECT_EQ(WindowText(Control(kConvertButton)), u"実  行");
  EXPECT_EQ(WindowText(Control(kCloseButton)), u"終  了");
  EXPECT_EQ(WindowText(Control(kCheckButton)), u"点  検");
  EXPECT_EQ(WindowText(Control(kShowLogButton)), u"柱状図");
  EXPECT_EQ(WindowText(Control(kWarningsLine)), u"");
  EXPECT_NE(Control(kDecoration), nullptr);
  // The log button waits for a conversion.
  EXPECT_TRUE(IsWindowEnabled(Control(kCheckButton)));
  EXPECT_FALSE(IsWindowEnabled(Control(kShowLogButton)));
  // The path boxes show the folder lists' folders; the drive lists show their drive.
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"C:\\B-12");
  EXPECT_EQ(WindowText(Control(kDestinationBox)), u"C:\\B-12");
  const auto shown = SendMessageW(Control(kSourceDriveList), CB_GETCURSEL, 0, 0);
  EXPECT_EQ(ListText(Control(kSourceDriveList), static_cast<int>(shown), true).substr(0, 2), u"C:");
  EXPECT_GE(RowOf(kDestinationDriveList, u"D:", true), 0);
  EXPECT_EQ(ListTexts(Control(kSourceFolderList), false),
            (std::vector<std::u16string>{u"C:\\", u"B-12"}));

  // The warnings line is a line of its own under the message frame and above the buttons; the
  // buttons stand run, check, log, close from left to right without touching, inside the window.
  auto rect_of = [&](int id) {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  EXPECT_EQ(GetParent(Control(kWarningsLine)), window_.hwnd());
  EXPECT_TRUE(IsWindowVisible(Control(kWarningsLine)));
  EXPECT_GE(rect_of(kWarningsLine).top, rect_of(kMessageFrame).bottom);
  EXPECT_LE(rect_of(kWarningsLine).bottom, rect_of(kConvertButton).top);
  RECT client = {};
  GetClientRect(window_.hwnd(), &client);
  LONG left = rect_of(kDecoration).right;
  for (int id : {kConvertButton, kCheckButton, kShowLogButton, kCloseButton}) {
    const RECT button = rect_of(id);
    EXPECT_GT(button.left, left) << id;
    EXPECT_LE(button.right, client.right) << id;
    EXPECT_LE(button.bottom, client.bottom) << id;
    left = button.right;
  }

  // The tab key's order: the source side, the destination side, then the buttons as they stand
  // (the log button, disabled, is passed over).
  const int order[] = {kSourceDriveList,      kSourceFolderList,      kSourceFolderBox,
                       kDestinationDriveList, kDestinationFolderList, kDestinationBox,
                       kConvertButton,        kCheckButton,           kCloseButton};
  HWND at = Control(kSourceDriveList);
  for (size_t i = 1; i <= std::size(order); ++i) {
    at = GetNextDlgTabItem(window_.hwnd(), at, FALSE);
    EXPECT_EQ(GetDlgCtrlID(at), order[i % std::size(order)]) << "after " << order[i - 1];
  }
  // The window's font is the system's message font at the window's DPI.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(Control(kSourceLabel), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW used = {};
  GetObjectW(font, sizeof used, &used);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName);
}

TEST_F(Win32WindowTest, PickedFoldersTypedPathsAndTheRunButtonMakeTheGoldenFile) {
  // Pick drive D: in the source list and back C:, whose root it then shows; open B-12 by
  // double-click, go up by Enter, and down again.
  Select(kSourceDriveList, RowOf(kSourceDriveList, u"D:", true), true);
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"D:\\");
  Select(kSourceDriveList, RowOf(kSourceDriveList, u"C:", true), true);
  EXPECT_EQ(ListTexts(Control(kSourceFolderList), false),
            (std::vector<std::u16string>{u"C:\\", u"B-12", u"DOZORA"}));
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"C:\\");
  Select(kSourceFolderList, RowOf(kSourceFolderList, u"B-12", false), false);
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"C:\\B-12");
  SendMessageW(Control(kSourceFolderList), LB_SETCURSEL, 0, 0);
  SetFocus(Control(kSourceFolderList));
  PostMessageW(Control(kSourceFolderList), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"C:\\");
  Select(kSourceFolderList, RowOf(kSourceFolderList, u"B-12", false), false);
  EXPECT_EQ(WindowText(Control(kSourceFolderBox)), u"C:\\B-12");
  // Drive D: in the destination list, then a destination that does not exist yet.
  Select(kDestinationDriveList, RowOf(kDestinationDriveList, u"D:", true), true);
  EXPECT_EQ(WindowText(Control(kDestinationBox)), u"D:\\");
  Type(kDestinationBox, u"D:\\OUT\\LOGS");

  BoxAnswerer answerer(GetCurrentThreadId(), {IDYES});
  SendMessageW(Control(kConvertButton), BM_CLICK, 0, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, u"フォルダがありません。新規作成しますか？");
  EXPECT_EQ(seen[0].title, u"tjvx");
  EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_TRUE(seen[0].icon);
  EXPECT_TRUE(WindowText(Control(kStatusLine)).ends_with(u"変換が正常に終了しました。"));
  EXPECT_EQ(test::ReadBytes(drives_.d() / "OUT" / "LOGS" / "B-12"),
            test::ReadBytes(test::RepositoryPath("tests/golden/sample/B-12")));
  EXPECT_EQ(window_.logic().registry().count(), 1);
  // The sample has values that are not written as they stand: the line under the frame counts
  // them, and the log button can now be pressed, the tab key stopping on it.
  const std::u16string warnings = WindowText(Control(kWarningsLine));
  EXPECT_TRUE(warnings.starts_with(u"警告 ")) << base::ToUtf8(warnings);
  EXPECT_NE(warnings.find(u" 件: "), std::u16string::npos);
  EXPECT_TRUE(IsWindowEnabled(Control(kShowLogButton)));
  EXPECT_EQ(GetNextDlgTabItem(window_.hwnd(), Control(kCheckButton), FALSE),
            Control(kShowLogButton));
  EXPECT_EQ(GetNextDlgTabItem(window_.hwnd(), Control(kShowLogButton), FALSE),
            Control(kCloseButton));
}

TEST_F(Win32WindowTest, TheCheckButtonShowsTheReportWithItsRowsCopyAndSave) {
  // What the report holds, from the check itself.
  source::PatternTables tables(u"C:\\DOZORA\\");
  const convert::CheckResult check = convert::CheckSourceFolder(u"C:\\B-12", tables, false);
  const std::u16string report_text = convert::ReportText(check.folder, check);
  const fs::path saved = drives_.d() / "report.txt";
  std::wstring suggested;
  window_.SetSaveFileHook([&](const std::wstring& name) {
    suggested = name;
    return saved.wstring();
  });

  std::u16string title, summary, close_caption;
  std::vector<SeenRow> rows;
  std::u16string copied;
  DialogDriver driver(GetCurrentThreadId(), [&](HWND dialog) {
    title = WindowText(dialog);
    rows = ListRows(GetDlgItem(dialog, kReportList));
    summary = WindowText(GetDlgItem(dialog, kReportSummary));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kReportCopy, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kReportCopy)));
    copied = ClipboardText();
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kReportSave, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kReportSave)));
    HWND close = GetDlgItem(dialog, IDCANCEL);
    close_caption = WindowText(close);
    PostMessageW(close, BM_CLICK, 0, 0);
  });
  SendMessageW(Control(kCheckButton), BM_CLICK, 0, 0);
  Pump();
  ASSERT_TRUE(driver.found());

  EXPECT_EQ(title, u"点検結果 - C:\\B-12");
  // The sample's check finds 4 warnings and 2 notices, one row each in the check's order, each
  // severity with its own icon.
  ASSERT_EQ(rows.size(), 6u);
  ASSERT_EQ(rows.size(), check.findings.size());
  int warnings = 0, notices = 0;
  for (size_t row = 0; row < rows.size(); ++row) {
    const base::Finding& finding = check.findings[row];
    EXPECT_EQ(rows[row].severity, convert::SeverityWord(finding.severity)) << row;
    EXPECT_EQ(rows[row].file, convert::FindingFileName(finding)) << row;
    EXPECT_EQ(rows[row].line,
              finding.line > 0 ? base::FromAscii(std::to_string(finding.line)) : u"")
        << row;
    // The message without the file, line and severity again.
    EXPECT_TRUE(rows[row].message.starts_with(finding.message)) << base::ToUtf8(rows[row].message);
    if (finding.severity == base::Severity::kWarning) {
      ++warnings;
      EXPECT_EQ(rows[row].icon, 1) << row;
    } else if (finding.severity == base::Severity::kNotice) {
      ++notices;
      EXPECT_EQ(rows[row].icon, 2) << row;
    }
  }
  EXPECT_EQ(warnings, 4);
  EXPECT_EQ(notices, 2);
  EXPECT_EQ(summary, u"C:\\B-12: エラー 0 件、警告 4 件、通知 2 件");
  // コピー puts the whole report on the clipboard and 保存... writes it in UTF-8, both with
  // Windows' line breaks; the file suggested is a .txt named after the folder.
  EXPECT_EQ(copied, WithCrLf(report_text));
  EXPECT_TRUE(suggested.ends_with(L"\\点検結果_B-12.txt"))
      << base::ToUtf8(std::u16string(suggested.begin(), suggested.end()));
  EXPECT_EQ(test::ReadBytes(saved), base::ToUtf8(WithCrLf(report_text)));
  EXPECT_EQ(close_caption, u"閉じる");
  // The dialog is gone and the window can be used again.
  HWND left = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring(name) == L"#32770") *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&left));
  EXPECT_EQ(left, nullptr);
  EXPECT_TRUE(IsWindowEnabled(window_.hwnd()));
}

TEST_F(Win32WindowTest, TheLogButtonWritesTheDrawingToTheTemporaryFolderAndOpensIt) {
  std::vector<std::wstring> opened;
  bool open_succeeds = true;
  window_.SetOpenFileHook([&](const std::wstring& file) {
    opened.push_back(file);
    return open_succeeds;
  });
  wchar_t temp[MAX_PATH + 1] = {};
  const fs::path temp_folder(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)));

  // Disabled, a click does nothing; a run enables it.
  SendMessageW(Control(kShowLogButton), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(opened.empty());
  Type(kDestinationBox, u"D:\\");
  SendMessageW(Control(kConvertButton), BM_CLICK, 0, 0);
  Pump();
  ASSERT_TRUE(IsWindowEnabled(Control(kShowLogButton)));
  SendMessageW(Control(kShowLogButton), BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(opened.size(), 1u);
  // The A4 pages, printable from the browser.
  EXPECT_EQ(fs::path(opened[0]), temp_folder / "B-12.html");
  const std::string html = test::ReadBytes(opened[0]);
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>")) << html.substr(0, 80);
  EXPECT_NE(html.find("@page { size: 210.00mm 297.00mm; margin: 0; }"), std::string::npos);
  EXPECT_NE(html.find("</svg>"), std::string::npos);
  fs::remove(opened[0]);

  // The name is made a file name; the HTML's bytes are written as given.
  const form::LogDrawing kLog{"<svg/>", {"<svg/>"}, "<html/>"};
  EXPECT_TRUE(window_.ShowLog(kLog, u"A:B*?"));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(fs::path(opened[1]), temp_folder / "A_B__.html");
  EXPECT_EQ(test::ReadBytes(opened[1]), "<html/>");
  fs::remove(opened[1]);

  // A file that cannot be opened, or not written (a folder stands in its place), is named in a
  // message and the answer is false.
  open_succeeds = false;
  {
    BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
    EXPECT_FALSE(window_.ShowLog(kLog, u"tjvx-log-test"));
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text,
              u"柱状図を開けませんでした。\n" + (temp_folder / "tjvx-log-test.html").u16string());
    EXPECT_TRUE(seen[0].icon);
  }
  fs::remove(temp_folder / "tjvx-log-test.html");
  fs::create_directories(temp_folder / "tjvx-log-folder.html");
  {
    BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
    EXPECT_FALSE(window_.ShowLog(kLog, u"tjvx-log-folder"));
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, u"柱状図のファイルを書けませんでした。\n" +
                                (temp_folder / "tjvx-log-folder.html").u16string());
  }
  fs::remove(temp_folder / "tjvx-log-folder.html");
  EXPECT_EQ(opened.size(), 3u);
}

TEST(Win32Texts, HaveWindowsLineBreaks) { EXPECT_EQ(WithCrLf(u"a\nb\r\nc\n"), u"a\r\nb\r\nc\r\n"); }

TEST_F(Win32WindowTest, ABadDestinationSaysSoAndSelectsTheDestinationBox) {
  Type(kDestinationBox, u"D:\\OUT*");
  BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
  SendMessageW(Control(kConvertButton), BM_CLICK, 0, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, u"指定されたパスは正しくありません。");
  EXPECT_EQ(seen[0].title, u"D:\\OUT*");
  EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
  EXPECT_EQ(GetFocus(), Control(kDestinationBox));
  DWORD start = 0, end = 0;
  SendMessageW(Control(kDestinationBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 7u);
  EXPECT_EQ(WindowText(Control(kStatusLine)), u"");
  EXPECT_FALSE(fs::exists(drives_.d() / "OUT*"));
}

TEST_F(Win32WindowTest, MessageBoxesFollowTheStyleValuesAndOnlyYesIsYes) {
  struct Case {
    int style;
    int press;
    int answer;
    std::vector<int> buttons;
    bool icon;
  };
  const Case cases[] = {
      {base::kMsgOk, IDOK, base::kAnswerOk, {IDOK}, false},
      {base::kMsgYesNoQuestion, IDYES, base::kAnswerYes, {IDYES, IDNO}, true},
      {base::kMsgYesNoQuestion, IDNO, base::kAnswerNo, {IDYES, IDNO}, true},
      {base::kMsgExclamation, IDOK, base::kAnswerOk, {IDOK}, true},
      {base::kMsgInformation, IDOK, base::kAnswerOk, {IDOK}, true},
  };
  for (const Case& c : cases) {
    BoxAnswerer answerer(GetCurrentThreadId(), {c.press});
    EXPECT_EQ(window_.ShowMessage(u"フォルダがありません。", c.style, u"D:\\X"), c.answer);
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "style " << c.style;
    EXPECT_EQ(seen[0].text, u"フォルダがありません。");
    EXPECT_EQ(seen[0].title, u"D:\\X");
    EXPECT_EQ(seen[0].buttons, c.buttons) << "style " << c.style;
    EXPECT_EQ(seen[0].icon, c.icon) << "style " << c.style;
  }
}

TEST_F(Win32WindowTest, HourglassF1AndTheCloseButton) {
  window_.logic().SetPointer(convert::kPointerHourglass);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
  window_.logic().SetPointer(convert::kPointerDefault);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));

  // F1 in a path box, with neither the help file nor the manual at hand: a message says so.
  window_.logic().SetHelpFiles(std::nullopt, std::nullopt);
  BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
  SetFocus(Control(kSourceFolderBox));
  PostMessageW(Control(kSourceFolderBox), WM_KEYDOWN, VK_F1, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, form::kNoManualMessage);

  SendMessageW(Control(kCloseButton), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(window_.hwnd(), nullptr);
}

}  // namespace
}  // namespace tjvx::win32
