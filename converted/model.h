#ifndef TJVX_CONVERTED_MODEL_H_
#define TJVX_CONVERTED_MODEL_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A converted file ("GTJ Ge201") read back into its records. Each record code has a grammar of
// values, listed here by their index in Record::values; the reader writes the grammar down once.
//
//   1000 title · 1001 borehole · 1002 site · 1003 "@" · 1004 client · 1005 contractor (1 value each)
//   1006 latitude [degrees, minutes, seconds] · 1007 longitude [degrees, minutes, seconds]
//   1008 person · 1009 dates [era, year, month, day, end year, end month, end day] (years of the era)
//   1010 method · 1011 machine (1 value each) · 1012 [4 texts] · 1013 [rock, 3 numbers]
//   1014 (1) · 1015 (2) · 1016 (2) · 1017 (4) · 1018 (2)
//   2000 unit      [bottom depth, name, "@", count]
//   2001 notes     [depth, "@", name 1 .. name 6, "-1", count of the 2002 lines that follow for it]
//   2002 note line [text]  (a line beginning "￥" goes on from the line before)
//   3000           [depth, value A, value B]
//   3010           [depth, value C]
//   3020           [depth, month, day]
//   3030 layer     [top depth, bottom depth ("9999": open-ended), name]
//   3040 interval  [top depth, bottom depth, text]
//   3070           [depth, names]
//   4000 test      [start depth, end depth, length 1, length 2, length 3, reading 1, reading 2,
//                   reading 3] (lengths in cm; a reading or a length written "-1" is none)
//   5000 merged    [depth, month, day, G71 value, G73 value 1, G73 value 2, G81 value 1,
//                   G81 value 2, "@", G81 value 3]
//   5010           [depth, value, label, names]
//
// Placeholders are kept as written: "@" for a missing text, "-1" for a missing number, "9999" for
// a missing bottom depth.
namespace tjvx::converted {

// The values of one record: one text holding them joined by single blanks (as the line writes
// them), with where each value ends in it. Values read from a file view the file's text, which
// their ConvertedFile keeps, so reading a file copies no value; values that are copied, set or
// pushed keep a text of their own. A line kept as text (Values::Kept) holds no values, only its
// text.
class Values {
 public:
  static constexpr size_t kMost = 10;  // the most values a record code has

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::u16string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::u16string_view;

    const_iterator() = default;
    const_iterator(const Values* values, size_t k) : values_(values), k_(k) {}
    std::u16string_view operator*() const { return (*values_)[k_]; }
    const_iterator& operator++() {
      ++k_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++k_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return k_ == other.k_; }

   private:
    const Values* values_ = nullptr;
    size_t k_ = 0;
  };
  using iterator = const_iterator;
  using value_type = std::u16string_view;

  Values() = default;
  Values(std::initializer_list<std::u16string_view> values);
  Values(const Values& other);
  Values& operator=(const Values& other);
  Values(Values&&) noexcept = default;
  Values& operator=(Values&&) noexcept = default;

  // The values of `text` (values joined by single blanks) that end at `ends`, viewing `text`,
  // which must outlive them and their copies.
  static Values Viewing(std::u16string_view text, const std::array<std::uint32_t, kMost>& ends,
                        size_t count);
  // A line's text kept as it stands, holding no values; viewed like Viewing's, or owned.
  static Values KeptViewing(std::u16string_view text);
  static Values Kept(std::u16string_view text);

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  bool kept() const { return kept_; }
  // A view of value k (const, so that assigning to it does not compile: Set changes a value).
  const std::u16string_view operator[](size_t k) const {
    const size_t begin = k == 0 ? 0 : ends_[k - 1] + 1;
    return text_.substr(begin, ends_[k] - begin);
  }
  std::u16string_view back() const { return (*this)[count_ - 1]; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, count_}; }
  // The values joined by single blanks, or the kept text.
  std::u16string_view text() const { return text_; }

  // Changing values makes them the values' own; a kept text is dropped first. Beyond kMost
  // values, push_back throws std::length_error.
  void push_back(std::u16string_view value);
  void pop_back();
  void Set(size_t k, std::u16string_view value);

  friend bool operator==(const Values& a, const Values& b) {
    // The same text with the same ends holds the same values.
    return a.count_ == b.count_ && a.kept_ == b.kept_ && a.text_ == b.text_ &&
           std::equal(a.ends_.begin(), a.ends_.begin() + a.count_, b.ends_.begin());
  }

 private:
  void Own(std::u16string text);

  std::u16string_view text_;
  std::unique_ptr<std::u16string> own_;  // the text, when it is the values' own
  std::array<std::uint32_t, kMost> ends_{};
  std::uint8_t count_ = 0;
  bool kept_ = false;
};

// One line of a converted file after its first line ("GTJ Ge201").
struct Record {
  int code = 0;        // 1000..1018, 2000..5010
  long long line = 0;  // 1-based line in the file
  // The values the record's grammar tells apart, left to right, as written; when the line's
  // values cannot be told apart (or one of them is not of its kind, such as a depth that is not a
  // number), the line after its code and blank, kept as its text (Values::Kept): such a line
  // cannot be drawn.
  Values values;

  bool Drawable() const { return !values.kept(); }
  std::optional<std::u16string_view> kept_text() const {
    if (!values.kept()) return std::nullopt;
    return values.text();
  }
};

// A whole converted file.
struct ConvertedFile {
  std::u16string file;          // the file's path, for messages
  std::vector<Record> records;  // every line after the first, in file order, header included
  // The file's text, which the records read from it view; shared by copies, never changed.
  std::shared_ptr<const std::u16string> text;
};

}  // namespace tjvx::converted

#endif  // TJVX_CONVERTED_MODEL_H_
