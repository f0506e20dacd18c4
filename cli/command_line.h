#ifndef TJVX_CLI_COMMAND_LINE_H_
#define TJVX_CLI_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <vector>

#include "base/message_host.h"

namespace tjvx::cli {

// Windows-form paths ("C:\DATA\B-12", "D:") are kept; anything else is a host path.
std::u16string WindowsForm(const std::string& argument);

// The pattern folder with its trailing "\": `pattern` when given, else the one the settings file
// names (none, after its message through `host`, when there is none).
std::optional<std::u16string> PatternFolder(const std::string& pattern, base::MessageHost& host);

// Options and body of `tjvx check`.
struct CheckOptions {
  std::vector<std::string> sources;
  std::string pattern;
  std::string format = "text";
  unsigned jobs = 1;
};
int Check(const CheckOptions& options);

// Options and body of `tjvx preview`.
struct PreviewOptions {
  std::vector<std::string> files;
  std::string output;
  std::string scale = "1:100";
  std::string page;  // "", "A4" or "A3"
};
int Preview(const PreviewOptions& options);

}  // namespace tjvx::cli

#endif  // TJVX_CLI_COMMAND_LINE_H_
