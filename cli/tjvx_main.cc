// tjvx: the command line of the converter. `main` picks the subcommand; each has a file of its own
// (convert_command.cc, check_command.cc, preview_command.cc).

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/console.h"
#include "platform/interrupts.h"

namespace {

// The options of the subcommands that read source folders: the pattern folder and how many
// folders are `done` at the same time.
void AddFolderOptions(CLI::App& command, std::string& pattern, unsigned& jobs,
                      const std::string& done) {
  command.add_option("--pattern", pattern,
                     "pattern folder (DOZORA); default: the folder named in DozoraV5.ini");
  command
      .add_option("--jobs,-j", jobs,
                  "source folders " + done + " at the same time (default: the number of cores)")
      ->check(CLI::Range(1u, 1024u));
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "tjvx: converts borehole folders of Tarvik_Jr into the converted file User(Vx) reads."};
  app.require_subcommand(1);

  tjvx::cli::ConvertOptions options;
  CLI::App* convert_command = app.add_subcommand(
      "convert",
      "Convert each SOURCE folder into DEST\\<name of SOURCE>. Paths are host paths or "
      "Windows-form "
      "paths on the drive table (Z: is /, more letters from TJVX_DRIVES=\"C=/srv/data;D=/mnt\").");
  convert_command->add_option("paths", options.paths, "SOURCE... DEST")
      ->required()
      ->expected(2, -1);
  CLI::Option* yes = convert_command->add_flag("--yes", options.yes,
                                               "create a missing destination without asking");
  convert_command->add_flag("--no", options.no, "never create a missing destination")
      ->excludes(yes);
  convert_command->add_flag("--quiet", options.quiet, "print only messages");
  AddFolderOptions(*convert_command, options.pattern, options.jobs, "converted");

  tjvx::cli::CheckOptions check_options;
  CLI::App* check_command = app.add_subcommand(
      "check",
      "Read each SOURCE folder and its pattern folder as a conversion would, write nothing, and "
      "report every error, warning and notice. Exit status: 0 clean (notices only), 1 warnings "
      "but no errors, 2 errors (a batch gives the worst of its folders).");
  check_command->add_option("sources", check_options.sources, "SOURCE...")->required();
  check_command->add_option("--format", check_options.format, "text (default) or json")
      ->check(CLI::IsMember({"text", "json"}));
  check_options.jobs = options.jobs;
  AddFolderOptions(*check_command, check_options.pattern, check_options.jobs, "checked");

  tjvx::cli::PreviewOptions preview_options;
  CLI::App* preview_command = app.add_subcommand(
      "preview",
      "Draw each converted FILE as a borehole log in an SVG file (FILE.svg beside it; -o names "
      "the file for one FILE, the folder for several).");
  preview_command->add_option("files", preview_options.files, "FILE...")->required();
  preview_command->add_option("-o,--output", preview_options.output, "OUT (file or folder)");
  preview_command->add_option("--scale", preview_options.scale, "depth scale (default 1:100)");
  preview_command
      ->add_option("--page", preview_options.page,
                   "split the log into printable pages of this paper (A4 or A3)")
      ->check(CLI::IsMember({"A4", "A3"}));

  // Arguments are read as UTF-8 whatever code page the console has.
  tjvx::platform::UseUtf8Console();
  // An interrupt removes the temporary files of the runs in flight; a closed pipe ends no run.
  tjvx::platform::InstallInterruptCleanup();
  std::vector<std::string> arguments = tjvx::platform::Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  CLI11_PARSE(app, static_cast<int>(pointers.size()), pointers.data());
  if (convert_command->parsed()) return tjvx::cli::Convert(options);
  if (check_command->parsed()) return tjvx::cli::Check(check_options);
  if (preview_command->parsed()) return tjvx::cli::Preview(preview_options);
  return 0;
}
