#ifndef TJVX_DRAWING_CONTENTS_TEXTS_H_
#define TJVX_DRAWING_CONTENTS_TEXTS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "drawing/log_records.h"
#include "drawing/log_values.h"

// Appending to what a log shows while it is read: its texts (LogContents::chars, text_ends) and
// the values it cannot draw.
namespace tjvx::drawing {

// Ends the text whose characters were appended to the texts' since the text before it.
inline void EndText(LogContents& out) { out.text_ends.push_back(out.chars.size()); }

// Appends a text as the drawing shows it to the texts.
inline void AddText(LogContents& out, std::u16string_view trimmed) {
  AppendShown(out.chars, trimmed);
  EndText(out);
}

// The texts added since there were `first`.
inline TextRun TextsFrom(const LogContents& out, size_t first) {
  return {first, out.TextCount() - first};
}

// A value present in the record of `code` at `line` that cannot be drawn.
inline void LoseValue(LogContents& out, int code, long long line, std::u16string_view value) {
  out.lost.push_back({code, line, std::u16string(value)});
  ++out.omitted.values;
}

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_CONTENTS_TEXTS_H_
