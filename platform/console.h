#ifndef TJVX_PLATFORM_CONSOLE_H_
#define TJVX_PLATFORM_CONSOLE_H_

#include <string>
#include <vector>

namespace tjvx::platform {

// Whether standard input or standard error is a terminal.
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// The program's arguments in UTF-8. On Windows they are taken from the wide command line, so a
// Japanese folder name arrives whole whatever the console's code page; elsewhere they are argv.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether the program expands the wildcards "*" and "?" of its arguments itself (Windows, whose
// command shells pass them as typed); elsewhere the shell has expanded them already.
#ifdef _WIN32
inline constexpr bool kProgramExpandsWildcards = true;
#else
inline constexpr bool kProgramExpandsWildcards = false;
#endif

// Makes the console show UTF-8 output (Windows); elsewhere terminals already do.
void UseUtf8Console();

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_CONSOLE_H_
