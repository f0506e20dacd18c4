#ifndef TJVX_DRAWING_NOTE_BLOCKS_H_
#define TJVX_DRAWING_NOTE_BLOCKS_H_

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/log_records.h"

namespace tjvx::drawing {

// The 2001 notes of a log with their 2002 lines: the entries and the lines as they are read, made
// into note blocks once every entry has counted its lines.
class NoteBlocks {
 public:
  // Room for the entries and lines of a file, with texts of about `text_length` characters.
  void Reserve(size_t entries, size_t lines, size_t text_length);

  // A 2001 entry at `line`: its depth (none when it has none to draw), its six names as written,
  // and the count of its 2002 lines (none when it cannot be told).
  void AddEntry(long long line, std::optional<double> depth,
                std::span<const std::u16string_view, 6> names, std::optional<long long> count);
  // A 2001 line that cannot be drawn: it still holds its place among the entries.
  void AddUndrawableEntry(long long line);
  // A 2002 line, kept until every entry has counted its lines.
  void AddLine(long long line, std::u16string_view text);
  // A 2002 line that cannot be drawn: it still holds its place among the lines.
  void AddUndrawableLine(long long line);

  // The note blocks into `out` (its texts and notes), and the lines no entry can place into its
  // lost values.
  void Finish(LogContents& out);

 private:
  // A 2001 entry until its 2002 lines are known.
  struct Entry {
    long long line = 0;
    std::optional<double> depth;
    std::optional<long long> count;  // its 2002 lines; none when it cannot be told
    // Its names joined, the piece [heading_begin, heading_end) of headings_.
    size_t heading_begin = 0, heading_end = 0;
    // Its six names as written, the piece [key_begin, key_end) of keys_; an entry whose names are
    // all empty joins no other.
    size_t key_begin = 0, key_end = 0;
    bool all_empty = true;
    size_t lines_begin = 0, lines_end = 0;  // its 2002 lines, once they are placed
  };
  // A 2002 line, trimmed, the piece [begin, end) of line_texts_.
  struct Line {
    size_t begin = 0, end = 0;
    long long line = 0;
    bool drawable = false;  // false for a line kept as text
  };

  // The 2002 lines follow all 2001 lines, the first entry's lines first, each entry counting its
  // own. Entries before the first one whose count cannot be told take their lines from the front,
  // entries after the last such one from the back; the lines between cannot be placed.
  void AssignLines();
  // Each entry describes the interval from the depth of the entry before it (0 for the first)
  // down to its own. An entry with the same names as the one before it joins that one's block:
  // the names once, then the lines of each.
  void MakeBlocks();
  bool SameNames(const Entry& a, const Entry& b) const;
  // A 2002 line that cannot be drawn where it belongs; a line kept as text was lost as it was read.
  void LoseLine(size_t i);
  // Lines [begin, end) of the 2002 lines, as far as there are, into the texts; a line that begins
  // "￥" goes on from the line before it. Returns how many lines were added.
  size_t Take(size_t begin, size_t end);

  std::vector<Entry> entries_;
  std::u16string headings_;  // the entries' headings, one after another
  std::u16string keys_;      // the entries' six names as written, one after another
  std::u16string line_texts_;
  std::vector<Line> lines_;
  LogContents* out_ = nullptr;  // while Finish makes the blocks
};

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_NOTE_BLOCKS_H_
