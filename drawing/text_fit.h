#ifndef TJVX_DRAWING_TEXT_FIT_H_
#define TJVX_DRAWING_TEXT_FIT_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Measuring texts and fitting them into the room a column gives them. The widths are what the
// drawing's fonts (Japanese Gothic faces) take at most, so a text measured to fit never spills.
namespace tjvx::drawing {

// Lines are this many font sizes apart.
inline constexpr double kLineSpacing = 1.25;
// The baseline sits this many font sizes below the top of its line.
inline constexpr double kBaselineDrop = 0.98;

// Width in mm of `text` set at font size `size` mm.
double TextWidth(std::u16string_view text, double size);

// `paragraph` broken into lines no wider than `width` at `size`: after a blank when the line has
// one, else between two characters, never before a closing mark ("、", "。", "）" …) nor inside a
// surrogate pair. Blanks at a break are dropped; an empty paragraph gives no line.
std::vector<std::u16string> WrapText(std::u16string_view paragraph, double width, double size);

struct FittedText {
  double size = 0;
  std::vector<std::u16string> lines;
  // Some text did not fit: the last line ends with "…", or nothing fitted at all.
  bool cut = false;
};

// The paragraphs, each starting a line, wrapped into a box `width` x `height` at the largest size
// from `size` down to `min_size` (in steps of a tenth) at which every line fits. When none does,
// the lines that fit at `min_size` are kept and the last of them ends with "…".
FittedText FitText(std::vector<std::u16string> paragraphs, double width, double height, double size,
                   double min_size);

// Lines fitted without copies: pieces of the paragraphs they were fitted from, which must outlive
// them, except a line cut with "…", which is `cut_line`.
struct FittedLines {
  double size = 0;
  std::vector<std::u16string_view> lines;
  bool cut = false;
  std::u16string cut_line;
  std::vector<double> widths;  // the paragraphs' widths while they are fitted, kept for their room
};

// FitText into `fitted`, whose lines are replaced (their room is kept for the next text).
void FitText(std::span<const std::u16string_view> paragraphs, double width, double height,
             double size, double min_size, FittedLines& fitted);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_TEXT_FIT_H_
