#ifndef TJVX_PLATFORM_HELP_H_
#define TJVX_PLATFORM_HELP_H_

#include <filesystem>
#include <optional>
#include <string_view>

namespace tjvx::platform {

// The name of the program's help file.
inline constexpr std::string_view kHelpFileName = "Brevant.HLP";

// The help-file lookup of start-up: "Brevant.HLP" in the program's own folder, then in each
// folder of PATH in order. The name is matched without regard to letter case. Nothing when no
// folder holds it.
std::optional<std::filesystem::path> FindHelpFile();

// The same lookup with the program's folder and the PATH value given (folders separated by ":",
// on Windows by ";"); empty folders of PATH are skipped.
std::optional<std::filesystem::path> FindHelpFile(const std::filesystem::path& program_folder,
                                                  std::string_view path_variable);

// The name of the program's own manual (docs/manual.html in the source tree).
inline constexpr std::string_view kManualFileName = "manual.html";

// The manual: beside the program, then in the installed share folder (../share/doc/tjvx), then,
// for a program run from its build folder, in the source tree. Nothing when none is there.
std::optional<std::filesystem::path> FindManual();

// Opens a document with the system's default program for it (the browser for the manual):
// ShellExecuteW on Windows, the desktop's opener (xdg-open) elsewhere. False when it could not
// be started.
bool OpenDocument(const std::filesystem::path& file);

// The help context of the help file's contents, which F1 asks for.
inline constexpr int kHelpContents = 0;
// The help context that asks the help system for its page on using help.
inline constexpr int kHelpOnHelp = 4;

// Shows help for `context` from `help_file`. On Windows this is WinHelp with the window handle
// `window` (kHelpOnHelp: the help system's own page; kHelpContents: the file's contents; any other
// number: that context of the file).
// Elsewhere the file is handed to the desktop's default opener (xdg-open), which knows no
// contexts. False when the help could not be started.
bool ShowHelp(const std::filesystem::path& help_file, int context, void* window);

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_HELP_H_
