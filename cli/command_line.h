#ifndef TJVX_CLI_COMMAND_LINE_H_
#define TJVX_CLI_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_host.h"
#include "convert/batch.h"

namespace tjvx::cli {

inline constexpr std::u16string_view kBackslashNameMessage =
    u"名前に \"\\\" を含むフォルダやファイルは Windows の形で書けない為に指定できません。";

// Windows-form paths ("C:\DATA\B-12", "D:") are kept, resolved as Windows resolves them ("/"
// separates, "." and ".." go); an empty argument or one of blanks only stays as it is, for the
// run to refuse; anything else is a host path.
std::u16string WindowsForm(const std::string& argument);

// The refusal of a host path that names a file or folder whose own name holds a "\": its Windows
// form would name another place ("x\B-12" would become the folder B-12 in x). None for any other
// argument.
std::optional<std::u16string> BackslashNameRefusal(const std::string& argument);

// The pattern folder with its trailing "\": `pattern` when given, else the one the settings file
// names (none, after its message through `host`, when there is none).
std::optional<std::u16string> PatternFolder(const std::string& pattern, base::MessageHost& host);

// Options and body of `tjvx convert`.
struct ConvertOptions {
  std::vector<std::string> paths;
  std::string pattern;
  bool yes = false;
  bool no = false;
  bool quiet = false;
  unsigned jobs = convert::DefaultJobs();
};
int Convert(const ConvertOptions& options);

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
