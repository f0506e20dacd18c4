// `tjvx preview`: draws converted files as borehole logs, one SVG each.

#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "base/error.h"
#include "base/utf.h"
#include "cli/command_line.h"
#include "converted/reader.h"
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

// The last name of a Windows-form path.
std::u16string LastName(std::u16string_view path) {
  while (path.size() > 1 && path.back() == u'\\') path.remove_suffix(1);
  const size_t slash = path.find_last_of(u'\\');
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
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
  const bool into_folder = options.files.size() > 1 && !options.output.empty();
  std::u16string folder;
  if (into_folder) {
    folder = WindowsForm(options.output);
    while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    if (!platform::CreateFolder(folder)) {
      std::cerr << "tjvx: フォルダを作成できません: " << base::ToUtf8(folder) << '\n';
      return 1;
    }
  }
  int status = 0;
  for (const std::string& argument : options.files) {
    const std::u16string file = WindowsForm(argument);
    std::u16string target;
    if (into_folder) {
      target = folder + (folder.back() == u'\\' ? u"" : u"\\") + LastName(file) + u".svg";
    } else if (!options.output.empty()) {
      target = WindowsForm(options.output);
    } else {
      target = file + u".svg";
    }
    try {
      const drawing::Drawing drawing = drawing::LayOutLogAt(file, layout);
      platform::AtomicFile out(target);
      out.Write(drawing::WriteSvg(drawing));
      out.Commit();
      std::cout << base::ToUtf8(target) << '\n';
      // Each value present that cannot be drawn, where it stands in the file.
      for (const drawing::LostValue& lost : drawing.lost) {
        std::cerr << "tjvx: " << argument << ": 描画できない値 "
                  << base::ToUtf8(drawing::LostValueText(lost)) << '\n';
      }
    } catch (const converted::ReadRefusal& refusal) {
      std::cerr << "tjvx: " << base::ToUtf8(refusal.Message()) << '\n';
      status = 1;
    } catch (const base::Error& error) {
      std::cerr << "tjvx: " << base::ToUtf8(error.Message()) << '\n';
      status = 1;
    }
  }
  std::cout << std::flush;
  return status;
}

}  // namespace tjvx::cli
