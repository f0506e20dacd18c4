#include "bench/borehole_generator.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "platform/cp932.h"
#include "source/field_reader.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

// A source file: its name, the fields of a record, and which fields hold a depth. An interval
// (top, bottom) is given as two depth fields, the first one record higher.
struct SourceLayout {
  const char* name;
  size_t fields;
  int depth_field;   // -1: none
  int bottom_field;  // -1: none; else the interval's bottom, depth_field its top
};

constexpr SourceLayout kLayouts[] = {
    {"X1.TXT", 4, 1, -1},   {"X3.TXT", 7, 1, -1},  {"X5.TXT", 11, 1, -1}, {"X7.TXT", 68, 4, 5},
    {"X11.TXT", 5, 1, -1},  {"X12.TXT", 3, 1, -1}, {"R30.TXT", 6, 1, -1}, {"R31.TXT", 6, 1, -1},
    {"R32.TXT", 6, 1, -1},  {"R33.TXT", 6, 1, -1}, {"R34.TXT", 6, 1, -1}, {"R35.TXT", 6, 1, -1},
    {"R41.TXT", 11, 1, -1}, {"N8.TXT", 3, 2, -1},  {"N9.TXT", 3, -1, -1}, {"G40.TXT", 8, 3, 4},
    {"G71.TXT", 5, 1, -1},  {"G72.TXT", 8, 1, -1}, {"G73.TXT", 4, 1, -1}, {"G81.TXT", 5, 1, -1},
};

fs::path SamplePath(const char* relative) { return fs::path(TJVX_SOURCE_DIR) / relative; }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsNumber(std::u16string_view value) {
  if (value.empty()) return true;
  for (char16_t c : value) {
    if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')) return false;
  }
  return true;
}

std::u16string Depth(int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
  return base::FromAscii(text);
}

// The sample file's records, each field as the file would write it again (text quoted).
std::vector<std::vector<std::u16string>> Templates(const SourceLayout& layout) {
  const fs::path path = SamplePath("samples/boreholes/B-12") / layout.name;
  std::u16string file = base::FromAscii(layout.name);
  source::FieldReader reader(platform::DecodeCp932(ReadAll(path), file), file);
  std::vector<std::vector<std::u16string>> records;
  std::vector<std::u16string_view> fields;
  while (!reader.AtEnd()) {
    reader.ReadRecord(layout.fields, fields);
    std::vector<std::u16string>& record = records.emplace_back();
    for (std::u16string_view value : fields) {
      record.push_back(IsNumber(value) ? std::u16string(value)
                                       : u"\"" + std::u16string(value) + u"\"");
    }
  }
  return records;
}

}  // namespace

std::uintmax_t WriteSyntheticBorehole(const fs::path& folder, int records) {
  fs::create_directories(folder);
  std::uintmax_t total = 0;
  for (const SourceLayout& layout : kLayouts) {
    const std::vector<std::vector<std::u16string>> templates = Templates(layout);
    std::u16string text;
    for (int i = 1; i <= records; ++i) {
      std::vector<std::u16string> record = templates[(i - 1) % templates.size()];
      record[0] = base::FromAscii(std::to_string(i));
      if (layout.bottom_field >= 0) {
        record[layout.depth_field] = Depth((i - 1) * 5);
        record[layout.bottom_field] = Depth(i * 5);
      } else if (layout.depth_field >= 0) {
        record[layout.depth_field] = Depth(i * 5);
      }
      for (size_t f = 0; f < record.size(); ++f) {
        if (f > 0) text += u',';
        text += record[f];
      }
      text += u"\r\n";
    }
    const std::string bytes = platform::EncodeCp932(text, base::FromAscii(layout.name));
    std::ofstream(folder / layout.name, std::ios::binary).write(bytes.data(), bytes.size());
    total += bytes.size();
  }
  for (const char* name : {"Titl01.txt", "Titl02.txt"}) {
    fs::copy_file(SamplePath("samples/boreholes/B-12") / name, folder / name,
                  fs::copy_options::overwrite_existing);
    total += fs::file_size(folder / name);
  }
  return total;
}

std::uintmax_t WriteSamplePattern(const fs::path& folder) {
  fs::create_directories(folder);
  std::uintmax_t total = 0;
  for (const auto& entry : fs::directory_iterator(SamplePath("samples/DOZORA"))) {
    fs::copy_file(entry.path(), folder / entry.path().filename(),
                  fs::copy_options::overwrite_existing);
    total += entry.file_size();
  }
  return total;
}

}  // namespace tjvx::bench
