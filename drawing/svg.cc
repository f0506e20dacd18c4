#include "drawing/svg.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/utf.h"
#include "drawing/hatching.h"

namespace tjvx::drawing {
namespace {

constexpr std::string_view kFontFamily =
    "'Yu Gothic', 'YuGothic', 'Meiryo', 'MS Gothic', 'Noto Sans CJK JP', 'Noto Sans JP', "
    "'IPAGothic', 'IPAexGothic', sans-serif";

// A length in mm with at most two decimals and no trailing zeros ("12.5", "0").
void AppendNumber(std::string& out, double value) {
  char buffer[32];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  if (error != std::errc()) {
    out += '0';
    return;
  }
  std::string_view number(buffer, static_cast<size_t>(end - buffer));
  while (number.back() == '0') number.remove_suffix(1);
  if (number.back() == '.') number.remove_suffix(1);
  if (number == "-0") number = "0";
  out += number;
}

// ` name="value"`, the value written by `append`.
template <typename Value>
void AttributeOf(std::string& out, std::string_view name, Value value,
                 void (*append)(std::string&, Value)) {
  out += ' ';
  out += name;
  out += "=\"";
  append(out, value);
  out += '"';
}

void Attribute(std::string& out, std::string_view name, double value) {
  AttributeOf(out, name, value, AppendNumber);
}

void AppendColour(std::string& out, Colour colour) {
  if (colour == kNoColour) {
    out += "none";
    return;
  }
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%06x", static_cast<unsigned>(colour & 0xFFFFFF));
  out += buffer;
}

void ColourAttribute(std::string& out, std::string_view name, Colour colour) {
  AttributeOf(out, name, colour, AppendColour);
}

// A box: its fill and outline, then its hatch drawn out as lines and dots clipped to it.
void WriteBox(std::string& out, const Drawing& drawing, const Box& box) {
  out += "<rect";
  Attribute(out, "x", box.x);
  Attribute(out, "y", box.y);
  Attribute(out, "width", box.width);
  Attribute(out, "height", box.height);
  ColourAttribute(out, "fill", box.fill.colour);
  if (box.stroke != kNoColour) {
    ColourAttribute(out, "stroke", box.stroke);
    Attribute(out, "stroke-width", box.stroke_width);
  }
  out += "/>\n";
  if (box.fill.hatch < 0 || box.fill.hatch >= static_cast<int>(drawing.hatches.size())) return;
  const Hatch& hatch = drawing.hatches[box.fill.hatch];
  const HatchStrokes strokes = HatchBox(hatch, box.x, box.y, box.width, box.height);
  auto point = [&](char command, double x, double y) {
    out += command;
    AppendNumber(out, x);
    out += ',';
    AppendNumber(out, y);
  };
  auto path_start = [&]() {
    out += "<path class=\"";
    out += hatch.id;
    out += "\" d=\"";
  };
  // A circle as two half circles.
  auto circle = [&](const HatchCircle& c) {
    point('M', c.x - c.radius, c.y);
    for (double across : {2 * c.radius, -2 * c.radius}) {
      out += 'a';
      AppendNumber(out, c.radius);
      out += ',';
      AppendNumber(out, c.radius);
      out += " 0 1 0 ";
      AppendNumber(out, across);
      out += ",0";
    }
  };
  if (!strokes.segments.empty() || (!strokes.circles.empty() && !strokes.filled_circles)) {
    path_start();
    for (const HatchSegment& s : strokes.segments) {
      point('M', s.x1, s.y1);
      point('L', s.x2, s.y2);
    }
    if (!strokes.filled_circles) {
      for (const HatchCircle& c : strokes.circles) circle(c);
    }
    out += "\" fill=\"none\"";
    ColourAttribute(out, "stroke", hatch.colour);
    Attribute(out, "stroke-width", hatch.line_width);
    out += "/>\n";
  }
  if (strokes.filled_circles && !strokes.circles.empty()) {
    path_start();
    for (const HatchCircle& c : strokes.circles) circle(c);
    out += '"';
    ColourAttribute(out, "fill", hatch.colour);
    out += "/>\n";
  }
}

void WriteLine(std::string& out, const Line& line) {
  out += "<line";
  Attribute(out, "x1", line.x1);
  Attribute(out, "y1", line.y1);
  Attribute(out, "x2", line.x2);
  Attribute(out, "y2", line.y2);
  ColourAttribute(out, "stroke", line.stroke);
  Attribute(out, "stroke-width", line.width);
  if (line.dashed) out += " stroke-dasharray=\"0.8 0.6\"";
  out += "/>\n";
}

void WriteMark(std::string& out, const Mark& mark) {
  if (mark.shape == MarkShape::kDot) {
    out += "<circle";
    Attribute(out, "cx", mark.x);
    Attribute(out, "cy", mark.y);
    Attribute(out, "r", mark.size / 2);
  } else {
    out += "<path d=\"M";
    AppendNumber(out, mark.x);
    out += ',';
    AppendNumber(out, mark.y);
    out += " L";
    AppendNumber(out, mark.x - mark.size);
    out += ',';
    AppendNumber(out, mark.y - mark.size / 2);
    out += " L";
    AppendNumber(out, mark.x - mark.size);
    out += ',';
    AppendNumber(out, mark.y + mark.size / 2);
    out += " Z\"";
  }
  ColourAttribute(out, "fill", mark.fill);
  out += "/>\n";
}

void WriteText(std::string& out, const Drawing& drawing, const Text& text) {
  out += "<text";
  Attribute(out, "x", text.x);
  Attribute(out, "y", text.y);
  Attribute(out, "font-size", text.size);
  if (text.anchor == Anchor::kMiddle) out += " text-anchor=\"middle\"";
  if (text.anchor == Anchor::kEnd) out += " text-anchor=\"end\"";
  if (text.colour != kBlack) ColourAttribute(out, "fill", text.colour);
  out += '>';
  AppendXmlText(out, drawing.TextOf(text));
  out += "</text>\n";
}

}  // namespace

void AppendXmlText(std::string& out, std::u16string_view text) {
  constexpr char32_t kReplacement = 0xFFFD;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;  // half a pair
    }
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF) c = kReplacement;
    switch (c) {
      case U'&':
        out += "&amp;";
        break;
      case U'<':
        out += "&lt;";
        break;
      case U'>':
        out += "&gt;";
        break;
      case U'"':
        out += "&quot;";
        break;
      case U'\'':
        out += "&apos;";
        break;
      default:
        base::AppendUtf8(out, c);
    }
  }
}

namespace {

// The opening tag of an SVG document `width` x `height` mm, one user unit a millimetre.
void OpenSvg(std::string& out, double width, double height) {
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendNumber(out, width);
  out += "mm\" height=\"";
  AppendNumber(out, height);
  out += "mm\" viewBox=\"0 0 ";
  AppendNumber(out, width);
  out += ' ';
  AppendNumber(out, height);
  out += "\" font-family=\"";
  out += kFontFamily;
  out += "\">\n";
}

size_t ShapeCount(const Page& page) {
  return page.boxes.size() + page.lines.size() + page.marks.size() + page.texts.size();
}

// One page's white sheet and shapes, at the page's own origin; `edge`: a faint edge around the
// sheet, so that pages one under another show where each ends.
void WritePageShapes(std::string& out, const Drawing& drawing, const Page& page, bool edge) {
  out += "<rect x=\"0\" y=\"0\"";
  Attribute(out, "width", page.width);
  Attribute(out, "height", page.height);
  out += " fill=\"#ffffff\"";
  if (edge) out += " stroke=\"#c0c0c0\" stroke-width=\"0.3\"";
  out += "/>\n";
  for (const Box& box : page.boxes) WriteBox(out, drawing, box);
  for (const Line& line : page.lines) WriteLine(out, line);
  for (const Mark& mark : page.marks) WriteMark(out, mark);
  for (const Text& text : page.texts) WriteText(out, drawing, text);
}

}  // namespace

std::string WriteSvg(const Drawing& drawing) {
  double width = 0, height = 0;
  size_t shapes = 0;
  for (const Page& page : drawing.pages) {
    width = std::max(width, page.width);
    height += page.height;
    shapes += ShapeCount(page);
  }
  if (drawing.pages.size() > 1) height += kPageGap * static_cast<double>(drawing.pages.size() - 1);

  std::string out;
  out.reserve(1024 + shapes * 96);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  OpenSvg(out, width, height);
  double y = 0;
  for (const Page& page : drawing.pages) {
    out += "<g transform=\"translate(0 ";
    AppendNumber(out, y);
    out += ")\">\n";
    WritePageShapes(out, drawing, page, drawing.pages.size() > 1);
    out += "</g>\n";
    y += page.height + kPageGap;
  }
  out += "</svg>\n";
  return out;
}

void AppendPageSvg(std::string& out, const Drawing& drawing, size_t index) {
  const Page& page = drawing.pages.at(index);
  out.reserve(out.size() + 512 + ShapeCount(page) * 96);
  OpenSvg(out, page.width, page.height);
  WritePageShapes(out, drawing, page, false);
  out += "</svg>\n";
}

std::string WritePageSvg(const Drawing& drawing, size_t index) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  AppendPageSvg(out, drawing, index);
  return out;
}

}  // namespace tjvx::drawing
