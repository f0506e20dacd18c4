#ifndef TJVX_WIN32_MAIN_WINDOW_H_
#define TJVX_WIN32_MAIN_WINDOW_H_

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "form/converter_form.h"
#include "form/view.h"
#include "win32/report_dialog.h"

namespace tjvx::win32 {

// The identifiers of the window's controls; the tests address the controls by them.
enum ControlId : int {
  kSourceFrame = 101,
  kSourceDriveList,
  kSourceFolderList,
  kSourceLabel,
  kSourceFolderBox,
  kDestinationFrame = 201,
  kDestinationDriveList,
  kDestinationFolderList,
  kDestinationLabel,
  kDestinationBox,
  kMessageFrame = 301,
  kStatusLine,
  kWarningsLine,
  kConvertButton = 401,
  kCloseButton,
  kDecoration,
  kCheckButton,
  kShowLogButton,
};

// The program's window as a native Win32 window: it creates the controls, shows what the window's
// logic (form::ConverterForm) tells it and forwards every event to it. Sizes follow the window's
// DPI, and the text is in the system's message font.
class MainWindow : public form::ConverterView {
 public:
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, hidden, with its controls, and fills the lists. False when Windows
  // refuses to make it.
  bool Create(HINSTANCE instance);
  // Start-up: centres the window on its monitor, then the logic's start-up check; false when the
  // program is to end without showing the window.
  bool Start();

  HWND hwnd() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  form::ConverterForm& logic() { return logic_; }
  UINT dpi() const { return dpi_; }
  // Whether closing the window ends the message loop (the program's window does; a test's not).
  void set_quit_on_close(bool quit) { quit_on_close_ = quit; }
  // The report dialog asks for the file to save to through this hook when it is set (tests name
  // the file); otherwise the save dialog asks.
  void SetSaveFileHook(SaveFileHook hook) { save_file_hook_ = std::move(hook); }
  // The log drawing's file is opened through this hook when it is set (tests note it); otherwise
  // the system opens it. The hook returns whether it could.
  using OpenFileHook = std::function<bool(const std::wstring& file)>;
  void SetOpenFileHook(OpenFileHook hook) { open_file_hook_ = std::move(hook); }

  // Handles one message of the thread's queue as the window's message loop does: F1 asks for
  // help, Tab and the arrow keys move between controls, everything else is dispatched.
  void ProcessMessage(MSG& message);
  // The message loop; returns the program's exit code when the window has closed.
  int Run();

  // form::ConverterView.
  void SetText(form::TextControl control, std::u16string_view text) override;
  std::u16string Text(form::TextControl control) override;
  void FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) override;
  void ShowDrive(form::Side side, int index) override;
  void FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                      int current) override;
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override;
  void SetPointer(int pointer) override;
  void FocusAndSelectAll(form::TextControl control) override;
  void Close() override;
  void* NativeWindow() override { return hwnd_; }
  bool OpenDocument(const std::filesystem::path& file) override;
  void ShowCheckReport(const form::CheckReport& report) override;
  // Writes the drawing to the user's temporary folder as "<name>.svg" and opens it with the
  // system's viewer for SVG (the browser).
  bool ShowLog(const form::LogDrawing& log, std::u16string_view name) override;
  void EnableButton(form::Button button, bool enabled) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK FolderListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR id, DWORD_PTR data);
  static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR data);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void OnCommand(int id, int code);
  // Font, control positions and item heights for the current DPI.
  void ApplyDpi();
  int Scale(int pixels_at_96) const;
  void DrawFolderEntry(const DRAWITEMSTRUCT& item);
  void DrawDecoration(const DRAWITEMSTRUCT& item);
  // The decoration's layers from `top` down, `width` wide from `left`; returns their bottom.
  int DrawLayers(HDC dc, int left, int top, int width) const;
  HWND TextBox(form::TextControl control) const;

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  bool hourglass_ = false;
  bool quit_on_close_ = false;
  SaveFileHook save_file_hook_;
  OpenFileHook open_file_hook_;
  std::array<std::vector<form::FolderEntry>, 2> folders_;
  form::ConverterForm logic_;
};

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_MAIN_WINDOW_H_
