// The Win32 window driven by window messages, as a user's clicks and keys reach it: captions and
// tab order, picking a drive, opening folders by double-click and Enter, typing the paths,
// pressing the run button with the question box answered from a second thread, the converted
// file, message boxes, the hourglass, F1 and closing. Runs under Wine with a virtual display.

#include "win32/form1_window.h"

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
#include "convert/run.h"
#include "form/form1.h"
#include "platform/help.h"
#include "tests/test_support.h"

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

// The sample borehole at C:\B-12 and the pattern folder at C:\DOZORA on temporary drives, named
// by a settings file in a temporary system folder; a shown window over them.
class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::CopyTree("samples/boreholes/B-12", drives_.c() / "B-12");
    testing::CopyTree("samples/DOZORA", drives_.c() / "DOZORA");
    fs::create_directories(drives_.d() / "sys");
    testing::SetEnvironment("TJVX_SYSDIR", drives_.d() / "sys");
    std::ofstream(drives_.d() / "sys" / "DozoraV5.ini", std::ios::binary)
        << "[DOZORA]\r\n\"C:\\DOZORA\\\"\r\n";
    working_folder_ = fs::current_path();
    fs::current_path(drives_.c() / "B-12");
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr))) << "error " << GetLastError();
    ASSERT_TRUE(window_.Form_Load());
    ShowWindow(window_.hwnd(), SW_SHOW);
    UpdateWindow(window_.hwnd());
    Pump();
  }
  void TearDown() override {
    fs::current_path(working_folder_);
    testing::UnsetEnvironment("TJVX_SYSDIR");
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

  testing::TempDrives drives_;
  fs::path working_folder_;
  Form1Window window_;
};

TEST_F(Win32WindowTest, EveryControlHasItsCaptionAndTheTabKeyGoesInTheirOrder) {
  EXPECT_EQ(WindowText(window_.hwnd()), form::kFormCaption);
  EXPECT_EQ(WindowText(Control(kFrame1)), form::kFrame1Caption);
  EXPECT_EQ(WindowText(Control(kFrame2)), form::kFrame2Caption);
  EXPECT_EQ(WindowText(Control(kFrame3)), form::kFrame3Caption);
  EXPECT_EQ(WindowText(Control(kLabel1)), form::kLabel1Caption);
  EXPECT_EQ(WindowText(Control(kLabel2)), form::kLabel2Caption);
  EXPECT_EQ(WindowText(Control(kLabel3)), u"");
  EXPECT_EQ(WindowText(Control(kCommand1)), u"実  行");
  EXPECT_EQ(WindowText(Control(kCommand2)), u"終  了");
  EXPECT_NE(Control(kPicture1), nullptr);
  // The path boxes show the folder lists' folders; the drive lists show their drive.
  EXPECT_EQ(WindowText(Control(kText1)), u"C:\\B-12");
  EXPECT_EQ(WindowText(Control(kText2)), u"C:\\B-12");
  const auto shown = SendMessageW(Control(kDrive1), CB_GETCURSEL, 0, 0);
  EXPECT_EQ(ListText(Control(kDrive1), static_cast<int>(shown), true).substr(0, 2), u"C:");
  EXPECT_GE(RowOf(kDrive2, u"D:", true), 0);
  EXPECT_EQ(ListTexts(Control(kDir1), false), (std::vector<std::u16string>{u"C:\\", u"B-12"}));

  // The tab key's order: the source side, the destination side, then the two buttons.
  const int order[] = {kDrive1, kDir1, kText1, kDrive2, kDir2, kText2, kCommand1, kCommand2};
  HWND at = Control(kDrive1);
  for (size_t i = 1; i <= std::size(order); ++i) {
    at = GetNextDlgTabItem(window_.hwnd(), at, FALSE);
    EXPECT_EQ(GetDlgCtrlID(at), order[i % std::size(order)]) << "after " << order[i - 1];
  }
  // The window's font is the system's message font at the window's DPI.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(Control(kLabel1), WM_GETFONT, 0, 0));
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
  Select(kDrive1, RowOf(kDrive1, u"D:", true), true);
  EXPECT_EQ(WindowText(Control(kText1)), u"D:\\");
  Select(kDrive1, RowOf(kDrive1, u"C:", true), true);
  EXPECT_EQ(ListTexts(Control(kDir1), false),
            (std::vector<std::u16string>{u"C:\\", u"B-12", u"DOZORA"}));
  EXPECT_EQ(WindowText(Control(kText1)), u"C:\\");
  Select(kDir1, RowOf(kDir1, u"B-12", false), false);
  EXPECT_EQ(WindowText(Control(kText1)), u"C:\\B-12");
  SendMessageW(Control(kDir1), LB_SETCURSEL, 0, 0);
  SetFocus(Control(kDir1));
  PostMessageW(Control(kDir1), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(WindowText(Control(kText1)), u"C:\\");
  Select(kDir1, RowOf(kDir1, u"B-12", false), false);
  EXPECT_EQ(WindowText(Control(kText1)), u"C:\\B-12");
  // Drive D: in the destination list, then a destination that does not exist yet.
  Select(kDrive2, RowOf(kDrive2, u"D:", true), true);
  EXPECT_EQ(WindowText(Control(kText2)), u"D:\\");
  Type(kText2, u"D:\\OUT\\LOGS");

  BoxAnswerer answerer(GetCurrentThreadId(), {IDYES});
  SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, u"フォルダがありません。新規作成しますか？");
  EXPECT_EQ(seen[0].title, u"tjvx");
  EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_TRUE(seen[0].icon);
  EXPECT_TRUE(WindowText(Control(kLabel3)).ends_with(u"変換が正常に終了しました。"));
  EXPECT_EQ(testing::ReadBytes(drives_.d() / "OUT" / "LOGS" / "B-12"),
            testing::ReadBytes(testing::RepositoryPath("tests/golden/sample/B-12")));
  EXPECT_EQ(window_.logic().registry().count(), 1);
}

TEST_F(Win32WindowTest, ABadDestinationSaysSoAndSelectsTheDestinationBox) {
  Type(kText2, u"D:\\OUT*");
  BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
  SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, u"指定されたパスは正しくありません。");
  EXPECT_EQ(seen[0].title, u"D:\\OUT*");
  EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
  EXPECT_EQ(GetFocus(), Control(kText2));
  DWORD start = 0, end = 0;
  SendMessageW(Control(kText2), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 7u);
  EXPECT_EQ(WindowText(Control(kLabel3)), u"");
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
    EXPECT_EQ(window_.MsgBox(u"フォルダがありません。", c.style, u"D:\\X"), c.answer);
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "style " << c.style;
    EXPECT_EQ(seen[0].text, u"フォルダがありません。");
    EXPECT_EQ(seen[0].title, u"D:\\X");
    EXPECT_EQ(seen[0].buttons, c.buttons) << "style " << c.style;
    EXPECT_EQ(seen[0].icon, c.icon) << "style " << c.style;
  }
}

TEST_F(Win32WindowTest, HourglassF1AndTheCloseButton) {
  window_.logic().SetMousePointer(convert::kPointerHourglass);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
  window_.logic().SetMousePointer(convert::kPointerDefault);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));

  // F1 in a path box, with neither the help file nor the manual at hand: a message says so.
  window_.logic().SetHelpFiles(std::nullopt, std::nullopt);
  BoxAnswerer answerer(GetCurrentThreadId(), {IDOK});
  SetFocus(Control(kText1));
  PostMessageW(Control(kText1), WM_KEYDOWN, VK_F1, 0);
  Pump();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, form::kNoManualMessage);

  SendMessageW(Control(kCommand2), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(window_.hwnd(), nullptr);
}

}  // namespace
}  // namespace tjvx::win32
