#ifndef TJVX_CONVERTED_MODEL_H_
#define TJVX_CONVERTED_MODEL_H_

#include <optional>
#include <string>
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

// One line of a converted file after its first line ("GTJ Ge201").
struct Record {
  int code = 0;        // 1000..1018, 2000..5010
  long long line = 0;  // 1-based line in the file
  // The values the record's grammar tells apart, left to right, as written; empty when the line
  // is kept as text.
  std::vector<std::u16string> values;
  // The line after its code and blank, when its values cannot be told apart (or one of them is not
  // of its kind, such as a depth that is not a number); such a line cannot be drawn.
  std::optional<std::u16string> kept_text;

  bool Drawable() const { return !kept_text.has_value(); }
};

// A whole converted file.
struct ConvertedFile {
  std::u16string file;          // the file's path, for messages
  std::vector<Record> records;  // every line after the first, in file order, header included
};

}  // namespace tjvx::converted

#endif  // TJVX_CONVERTED_MODEL_H_
