// `tjvx preview`: draws converted files as borehole logs, one SVG each.

#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "cli/command_line.h"
#include "cli/wildcards.h"
#include "converted/reader.h"
#include "drawing/html.h"
#include "drawing/log_layout.h"
#include "drawing/svg.h"
#include "platform/atomic_file.h"
#include "platform/drives.h"

namespace tjvx::cli {
namespace {

// "1:100" or "100" gives 100; anything else none.
std::optional<int> ScaleOf(const std::string& text) {
  std::string_view digits = text;
  if (digits.starts_with("1:")) digits.remove_prefix(2);
  int scale = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), scale);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (scale < drawing::kMinScale || scale > drawing::kMaxScale) return std::nullopt;
  return scale;
}

// The last name of a Windows-form path, a trailing "\" aside.
std::u16string NameOf(std::u16string_view path) {
  return std::u16string(base::LastName(base::WithoutTrailingBackslashes(path, 1)));
}

// Why `target` may not be written: it is one of the call's converted files, a FIFO, socket or
// device, or a drawing this call has already written; none when it may.
std::optional<std::string> TargetRefusal(const std::u16string& target,
                                         const std::vector<std::u16string>& inputs,
                                         const std::vector<std::u16string>& written) {
  for (const std::u16string& input : inputs) {
    if (platform::SamePlace(target, input)) return "出力ファイルが入力ファイルと同じ為に書けません";
  }
  // Checked before anything of the file is written, so its SVG and HTML go out both or neither.
  if (platform::HoldsSpecialFile(target)) {
    return "出力ファイルと同名の特殊ファイル (パイプ、ソケット、デバイス) が存在する為に書けません";
  }
  for (const std::u16string& earlier : written) {
    if (platform::SamePlace(target, earlier))
      return "出力ファイルに別の入力ファイルの図が先に書かれている為に書けません";
  }
  return std::nullopt;
}

// The printable pages' file of a drawing: its name with ".html" in place of ".svg" (added when it
// has no ".svg").
std::u16string HtmlName(std::u16string_view svg) {
  if (base::EndsWithIgnoringAsciiCase(svg, u".svg")) {
    svg.remove_suffix(4);
  }
  return std::u16string(svg) + u".html";
}

// Writes `bytes` whole to the Windows-form `path`, or nothing (see AtomicFile).
void WriteFile(const std::u16string& path, const std::string& bytes) {
  platform::AtomicFile out(path);
  out.Write(bytes);
  out.Commit();
}

// Where the drawing of `file` goes: FILE.svg beside it, the file -o names, or NAME.svg in the
// folder -o names (`folder`, when given); with pages, the printable HTML file beside it too.
std::vector<std::u16string> TargetsOf(const std::u16string& file, const PreviewOptions& options,
                                      const std::u16string& folder, drawing::Paper paper) {
  std::u16string target;
  if (!folder.empty()) {
    target = folder + (folder.back() == u'\\' ? u"" : u"\\") + NameOf(file) + u".svg";
  } else if (!options.output.empty()) {
    target = WindowsForm(options.output);
  } else {
    target = file + u".svg";
  }
  std::vector<std::u16string> targets{target};
  if (paper != drawing::Paper::kNone) targets.push_back(HtmlName(target));
  return targets;
}

// Draws the converted file `file` (given as `argument`) into its targets and names them on the
// standard output; false after its message when it could not.
bool DrawOne(const std::string& argument, const std::u16string& file,
             const std::vector<std::u16string>& targets, const drawing::LayoutOptions& layout) {
  try {
    const drawing::Drawing drawing = drawing::LayOutLogAt(file, layout);
    WriteFile(targets[0], drawing::WriteSvg(drawing));
    std::cout << base::ToUtf8(targets[0]) << '\n';
    if (targets.size() > 1) {
      WriteFile(targets[1], drawing::WriteHtml(drawing, NameOf(file)));
      std::cout << base::ToUtf8(targets[1]) << '\n';
    }
    // Each value present that cannot be drawn, where it stands in the file.
    for (const drawing::LostValue& lost : drawing.lost) {
      std::cerr << "tjvx: " << argument << ": 描画できない値 "
                << base::ToUtf8(drawing::LostValueText(lost)) << '\n';
    }
  } catch (const base::Error& error) {
    // A file that is not a converted file, or cannot be read or written.
    std::cerr << "tjvx: " << base::ToUtf8(error.Message()) << '\n';
    return false;
  }
  return true;
}

}  // namespace

int Preview(const PreviewOptions& options) {
  const std::optional<int> scale = ScaleOf(options.scale);
  if (!scale) {
    std::cerr << "tjvx: 縮尺は 1:" << drawing::kMinScale << " から 1:" << drawing::kMaxScale
              << " の間で指定してください: " << options.scale << '\n';
    return 2;
  }
  drawing::LayoutOptions layout;
  layout.scale = *scale;
  layout.paper = options.page == "A4"   ? drawing::Paper::kA4
                 : options.page == "A3" ? drawing::Paper::kA3
                                        : drawing::Paper::kNone;

  // -o names the drawing of one file, or the folder of the drawings of several; without it each
  // drawing goes beside its converted file.
  if (const std::optional<std::u16string> refusal = BackslashNameRefusal(options.output)) {
    std::cerr << "tjvx: " << base::ToUtf8(*refusal) << '\n';
    return 1;
  }
  // Each pattern stands for its files; one that matches nothing is refused in its place.
  std::vector<std::string> files;
  std::vector<std::optional<std::u16string>> pattern_refusals;
  for (ExpandedArgument& file : ExpandWildcards(options.files, Wanted::kFiles)) {
    files.push_back(std::move(file.path));
    pattern_refusals.push_back(std::move(file.refusal));
  }
  std::u16string folder;
  if (files.size() > 1 && !options.output.empty()) {
    folder = base::WithoutTrailingBackslashes(WindowsForm(options.output), 3);
    if (!platform::CreateFolder(folder)) {
      std::cerr << "tjvx: フォルダを作成できません: " << base::ToUtf8(folder) << '\n';
      return 1;
    }
  }
  std::vector<std::u16string> inputs;
  for (const std::string& argument : files) inputs.push_back(WindowsForm(argument));
  std::vector<std::u16string> written;
  int status = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& argument = files[i];
    std::optional<std::u16string> refusal = pattern_refusals[i];
    if (!refusal) refusal = BackslashNameRefusal(argument);
    if (refusal) {
      std::cerr << "tjvx: " << base::ToUtf8(*refusal) << '\n';
      status = 1;
      continue;
    }
    // The pages' HTML file is under the same refusals as the SVG.
    const std::vector<std::u16string> targets = TargetsOf(inputs[i], options, folder, layout.paper);
    std::optional<std::string> target_refusal;
    for (const std::u16string& each : targets) {
      if ((target_refusal = TargetRefusal(each, inputs, written))) {
        std::cerr << "tjvx: " << argument << ": " << *target_refusal << ": " << base::ToUtf8(each)
                  << '\n';
        break;
      }
    }
    if (target_refusal) {
      status = 1;
      continue;
    }
    written.insert(written.end(), targets.begin(), targets.end());
    if (!DrawOne(argument, inputs[i], targets, layout)) status = 1;
  }
  std::cout << std::flush;
  return status;
}

}  // namespace tjvx::cli
