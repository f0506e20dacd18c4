#include "drawing/note_blocks.h"

#include <algorithm>

#include "drawing/contents_texts.h"
#include "drawing/log_values.h"

namespace tjvx::drawing {

void NoteBlocks::Reserve(size_t entries, size_t lines, size_t text_length) {
  entries_.reserve(entries);
  lines_.reserve(lines);
  line_texts_.reserve(lines * text_length);
  headings_.reserve(entries * text_length);
  keys_.reserve(entries * text_length);
}

void NoteBlocks::AddEntry(long long line, std::optional<double> depth,
                          std::span<const std::u16string_view, 6> names,
                          std::optional<long long> count) {
  Entry& entry = entries_.emplace_back();
  entry.line = line;
  entry.depth = depth;
  // A name left "@" was not described; it is not a value lost.
  entry.heading_begin = headings_.size();
  bool first = true;
  for (const std::u16string_view written : names) {
    const std::u16string_view name = Trimmed(written);
    if (IsPlaceholderText(name)) continue;
    if (!first) headings_ += u'、';
    first = false;
    AppendShown(headings_, name);
  }
  entry.heading_end = headings_.size();
  entry.key_begin = keys_.size();
  for (const std::u16string_view written : names) {
    const std::u16string_view name = Trimmed(written);
    if (!IsPlaceholderText(name)) entry.all_empty = false;
    keys_.append(name).push_back(u'\t');
  }
  entry.key_end = keys_.size();
  entry.count = count;
}

void NoteBlocks::AddUndrawableEntry(long long line) { entries_.emplace_back().line = line; }

void NoteBlocks::AddLine(long long line, std::u16string_view text) {
  const size_t begin = line_texts_.size();
  line_texts_.append(Trimmed(text));
  lines_.push_back({begin, line_texts_.size(), line, true});
}

void NoteBlocks::AddUndrawableLine(long long line) { lines_.push_back({0, 0, line, false}); }

void NoteBlocks::Finish(LogContents& out) {
  out_ = &out;
  AssignLines();
  MakeBlocks();
}

void NoteBlocks::AssignLines() {
  const size_t entries = entries_.size();
  size_t front = 0, back = lines_.size();
  size_t first_unknown = entries;
  for (size_t i = 0; i < entries; ++i) {
    Entry& entry = entries_[i];
    if (!entry.count) {
      first_unknown = i;
      break;
    }
    entry.lines_begin = front;
    entry.lines_end = front + static_cast<size_t>(*entry.count);
    front = std::min(back, front + static_cast<size_t>(*entry.count));
  }
  if (first_unknown < entries) {
    for (size_t i = entries; i-- > first_unknown && entries_[i].count;) {
      const size_t count = std::min(back - front, static_cast<size_t>(*entries_[i].count));
      entries_[i].lines_begin = back - count;
      entries_[i].lines_end = back;
      back -= count;
    }
  }
  for (size_t i = front; i < back; ++i) LoseLine(i);
}

void NoteBlocks::MakeBlocks() {
  double previous = 0;
  const Entry* joinable = nullptr;
  for (const Entry& entry : entries_) {
    if (!entry.depth) {
      for (size_t i = entry.lines_begin; i < std::min(entry.lines_end, lines_.size()); ++i) {
        LoseLine(i);
      }
      joinable = nullptr;
      continue;
    }
    const double top = std::min(previous, *entry.depth);
    previous = *entry.depth;
    if (joinable != nullptr && !entry.all_empty && SameNames(*joinable, entry)) {
      NoteBlock& block = out_->notes.back();
      block.texts.count += Take(entry.lines_begin, entry.lines_end);
      block.bottom = std::max(block.bottom, *entry.depth);
      continue;
    }
    const size_t first = out_->TextCount();
    if (entry.heading_end > entry.heading_begin) {
      out_->chars.append(headings_, entry.heading_begin, entry.heading_end - entry.heading_begin);
      EndText(*out_);
    }
    Take(entry.lines_begin, entry.lines_end);
    // An entry with names always makes a block, so the block it may be joined to is the last.
    joinable = entry.all_empty ? nullptr : &entry;
    if (out_->TextCount() > first)
      out_->notes.push_back({top, *entry.depth, TextsFrom(*out_, first)});
  }
}

bool NoteBlocks::SameNames(const Entry& a, const Entry& b) const {
  const std::u16string_view keys(keys_);
  return keys.substr(a.key_begin, a.key_end - a.key_begin) ==
         keys.substr(b.key_begin, b.key_end - b.key_begin);
}

void NoteBlocks::LoseLine(size_t i) {
  const Line& line = lines_[i];
  if (!line.drawable) return;
  LoseValue(*out_, 2002, line.line,
            std::u16string_view(line_texts_).substr(line.begin, line.end - line.begin));
}

size_t NoteBlocks::Take(size_t begin, size_t end) {
  size_t lines = 0;
  end = std::min(end, lines_.size());
  for (size_t i = begin; i < end; ++i) {
    const Line& line = lines_[i];
    if (!line.drawable) continue;
    std::u16string_view text =
        std::u16string_view(line_texts_).substr(line.begin, line.end - line.begin);
    const bool goes_on = !text.empty() && text.front() == u'￥';
    if (goes_on) text.remove_prefix(1);
    const std::optional<std::u16string_view> shown = Present(text);
    if (!shown) continue;
    if (goes_on && lines > 0) {
      // The last text is the last in the texts' characters: it grows at their end.
      AppendShown(out_->chars, *shown);
      out_->text_ends.back() = out_->chars.size();
    } else {
      AddText(*out_, *shown);
      ++lines;
    }
  }
  return lines;
}

}  // namespace tjvx::drawing
