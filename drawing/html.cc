#include "drawing/html.h"

#include <algorithm>
#include <charconv>

#include "drawing/svg.h"

namespace tjvx::drawing {
namespace {

// A length in mm as CSS takes it, with at most two decimals.
void AppendMillimetres(std::string& out, double value) {
  char buffer[32];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  out.append(buffer, error == std::errc() ? end : buffer);
  out += "mm";
}

}  // namespace

std::string WriteHtml(const Drawing& drawing, std::u16string_view title) {
  // Every page of one layout has the paper's size; the sheet takes the first page's.
  const double width = drawing.pages.empty() ? 210 : drawing.pages.front().width;
  const double height = drawing.pages.empty() ? 297 : drawing.pages.front().height;
  std::string out;
  // Written as well-formed XML too, so that any XML tool reads it as a browser does.
  out += "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"ja\">\n";
  out += "<head>\n<meta charset=\"utf-8\"/>\n<title>";
  AppendXmlText(out, title);
  out += "</title>\n<style>\n@page { size: ";
  AppendMillimetres(out, width);
  out += ' ';
  AppendMillimetres(out, height);
  out += "; margin: 0; }\n";
  out += "html, body { margin: 0; padding: 0; }\n";
  // A sheet is a hair shorter than its paper, so rounding never spills it onto a page of its own.
  out += ".sheet { width: ";
  AppendMillimetres(out, width);
  out += "; height: ";
  AppendMillimetres(out, std::max(0.0, height - 0.5));
  out +=
      "; overflow: hidden; background: #ffffff; break-after: page; page-break-after: always; }\n";
  out += ".sheet:last-child { break-after: auto; page-break-after: auto; }\n";
  out += ".sheet svg { display: block; }\n";
  out += "@media screen {\n  body { background: #808080; padding: 5mm 0; }\n";
  out += "  .sheet { margin: 0 auto 5mm auto; box-shadow: 0 0 2mm #404040; }\n}\n";
  out += "</style>\n</head>\n<body>\n";
  for (size_t i = 0; i < drawing.pages.size(); ++i) {
    out += "<div class=\"sheet\">\n";
    AppendPageSvg(out, drawing, i);
    out += "</div>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace tjvx::drawing
