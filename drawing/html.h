#ifndef TJVX_DRAWING_HTML_H_
#define TJVX_DRAWING_HTML_H_

#include <string>
#include <string_view>

#include "drawing/log_layout.h"

namespace tjvx::drawing {

// The drawing as one UTF-8 HTML document that a browser prints page for page: each page an SVG
// of its own, on a sheet of the page's size with no margin (@page), one sheet each. On the screen
// the sheets stand one under another on a grey ground. The document holds nothing active: no
// script, no event attribute, no link to anything outside it. `title` is the document's title
// (the converted file's name).
std::string WriteHtml(const Drawing& drawing, std::u16string_view title);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_HTML_H_
