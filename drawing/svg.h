#ifndef TJVX_DRAWING_SVG_H_
#define TJVX_DRAWING_SVG_H_

#include <string>
#include <string_view>

#include "drawing/log_layout.h"

namespace tjvx::drawing {

// The drawing as one UTF-8 SVG document in millimetres (width and height in mm, one user unit a
// millimetre), so it prints at its scale. Several pages stand one under another in page order,
// each a group moved down to its place, kPageGap mm apart, on a white sheet of its own size: a
// viewer scrolls through them as through a document, and every page's shapes stay inside its
// sheet, so a page cut out at its sheet prints whole. Only rectangles, lines, paths, circles and
// texts are used (hatches drawn out, no patterns or clipping), so a renderer of the small SVG
// profile shows what a browser shows. Texts name Japanese Gothic faces that
// Windows and Linux both have; characters XML cannot carry (control characters, unpaired
// surrogates) are written as U+FFFD.
std::string WriteSvg(const Drawing& drawing);

inline constexpr double kPageGap = 10;

// One page of the drawing as an SVG document of the page's size, as WriteSvg draws it: what a
// printer prints on one sheet.
std::string WritePageSvg(const Drawing& drawing, size_t index);
// The same SVG element without the XML declaration, appended to `out` (for an HTML document).
void AppendPageSvg(std::string& out, const Drawing& drawing, size_t index);

// `text` as XML character data or an attribute value in UTF-8: & < > " ' escaped, characters XML
// cannot carry written as U+FFFD. Appended to `out`.
void AppendXmlText(std::string& out, std::u16string_view text);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_SVG_H_
