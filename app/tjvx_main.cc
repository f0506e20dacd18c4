// tjvx: the command line of the converter. `tjvx convert SOURCE... DEST` runs, for each source
// folder, the same conversion run as the window's run button, with DEST as the destination.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/trcomsub.h"
#include "convert/run.h"
#include "platform/drives.h"

namespace {

using tjvx::FromUtf8;
using tjvx::ToUtf8;

enum class Answer { kAsk, kYes, kNo };

// Windows-form paths ("C:\DATA\B-12", "D:") are kept; anything else is a host path.
std::u16string WindowsForm(const std::string& argument) {
  if (argument.size() >= 2 && std::isalpha(static_cast<unsigned char>(argument[0])) &&
      argument[1] == ':') {
    return FromUtf8(argument);
  }
  return tjvx::platform::Drives().FromHost(std::filesystem::path(argument));
}

// The run's user on a terminal: messages go to standard error, the folder question is answered
// by --yes or --no, asked on a terminal, else answered No.
class CommandLineHost : public tjvx::RunHost {
 public:
  CommandLineHost(Answer answer, bool quiet) : answer_(answer), quiet_(quiet) {}

  void SetPaths(std::u16string source, std::u16string destination) {
    source_ = std::move(source);
    destination_ = std::move(destination);
  }

  std::u16string Text1() override { return source_; }
  std::u16string Text2() override { return destination_; }
  void SetLabel3(std::u16string_view text) override {
    if (!quiet_ && !text.empty()) std::cerr << ToUtf8(text) << '\n';
  }
  void FocusText2SelectAll() override {}
  void SetMousePointer(int) override {}

  int MsgBox(std::u16string_view prompt, int style, std::u16string_view title) override {
    std::cerr << "tjvx: ";
    if (!title.empty()) std::cerr << ToUtf8(title) << ": ";
    std::cerr << ToUtf8(prompt);
    if (style != tjvx::kMsgYesNoQuestion) {
      std::cerr << '\n';
      return tjvx::kAnswerOk;
    }
    bool yes = answer_ == Answer::kYes;
    if (answer_ == Answer::kAsk && isatty(STDIN_FILENO)) {
      std::cerr << " [y/N] " << std::flush;
      std::string reply;
      std::getline(std::cin, reply);
      yes = !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
    } else {
      std::cerr << (yes ? " -> yes" : " -> no") << '\n';
    }
    return yes ? tjvx::kAnswerYes : tjvx::kAnswerNo;
  }

 private:
  Answer answer_;
  bool quiet_;
  std::u16string source_, destination_;
};

struct ConvertOptions {
  std::vector<std::string> paths;
  std::string pattern;
  bool yes = false;
  bool no = false;
  bool quiet = false;
};

int Convert(const ConvertOptions& options) {
  CommandLineHost host(options.yes  ? Answer::kYes
                       : options.no ? Answer::kNo
                                    : Answer::kAsk,
                       options.quiet);
  std::u16string pattern_folder;
  if (!options.pattern.empty()) {
    pattern_folder = WindowsForm(options.pattern);
    if (pattern_folder.back() != u'\\') pattern_folder += u'\\';
  } else {
    std::optional<std::u16string> folder = TRCOMSUB::StartupPatternFolder(host);
    if (!folder) return 2;
    pattern_folder = *folder;
  }
  tjvx::PatternTables tables(pattern_folder);
  tjvx::SiteRegistry registry;

  const std::u16string destination = WindowsForm(options.paths.back());
  int failures = 0;
  for (size_t i = 0; i + 1 < options.paths.size(); ++i) {
    host.SetPaths(WindowsForm(options.paths[i]), destination);
    tjvx::RunResult result = tjvx::RunConversion(host, tables, &registry);
    if (result.outcome == tjvx::RunOutcome::kConverted) {
      if (!options.quiet) std::cout << ToUtf8(result.converted_file) << '\n';
    } else {
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "tjvx: converts borehole folders of Tarvik_Jr into the converted file User(Vx) reads."};
  app.require_subcommand(1);

  ConvertOptions options;
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Convert each SOURCE folder into DEST\\<name of SOURCE>. Paths are host paths or "
      "Windows-form "
      "paths on the drive table (Z: is /, more letters from TJVX_DRIVES=\"C=/srv/data;D=/mnt\").");
  convert->add_option("paths", options.paths, "SOURCE... DEST")->required()->expected(2, -1);
  convert->add_option("--pattern", options.pattern,
                      "pattern folder (DOZORA); default: the folder named in DozoraV5.ini");
  CLI::Option* yes =
      convert->add_flag("--yes", options.yes, "create a missing destination without asking");
  convert->add_flag("--no", options.no, "never create a missing destination")->excludes(yes);
  convert->add_flag("--quiet", options.quiet, "print only messages");

  CLI11_PARSE(app, argc, argv);
  if (convert->parsed()) return Convert(options);
  return 0;
}
