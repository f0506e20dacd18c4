#ifndef TJVX_SOURCE_CODE_TABLE_H_
#define TJVX_SOURCE_CODE_TABLE_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "source/field_reader.h"
#include "source/source_files.h"

namespace tjvx::source {

// A hash of a float key by its bits, for maps whose keys never hold -0 (it is made 0 first) or NaN,
// so equal keys have equal bits; cheaper than the standard hash of a float.
struct FloatKeyHash {
  size_t operator()(float key) const {
    uint32_t bits;
    std::memcpy(&bits, &key, sizeof bits);
    return static_cast<size_t>(bits * 0x9E3779B97F4A7C15ull >> 16);
  }
};

// One code table of the pattern folder: entries of a fixed number of fields, a code and a name.
// Codes are compared by NumericValue, so "05" finds the entry with code 5.
class CodeTable {
 public:
  // An entry's name as the table holds it, and in full width (text::ToFullWidth), as most record
  // groups write it: made once when the table is read rather than at every record.
  struct Name {
    std::u16string text;
    std::u16string full_width;
    bool full_width_has_blank;  // a half-width blank, which a value held in a line cannot keep
  };

  // Reads every entry of `reader`: `fields` fields each, the code at `code_field` and the name at
  // `name_field` (counted from 0).
  CodeTable(FieldReader& reader, size_t fields, size_t code_field, size_t name_field);
  CodeTable() = default;

  // The name of the first entry whose code has the value `code`; for lookups that read the table
  // from its start and stop at the first match.
  const Name* FirstName(float code) const { return Find(code, false); }
  // The name of the last such entry; for lookups that read the whole table, later matches
  // overwriting earlier ones.
  const Name* LastName(float code) const { return Find(code, true); }
  // The same names as the table holds them.
  std::optional<std::u16string_view> First(float code) const { return Text(FirstName(code)); }
  std::optional<std::u16string_view> Last(float code) const { return Text(LastName(code)); }
  size_t size() const { return names_.size(); }

 private:
  static std::optional<std::u16string_view> Text(const Name* name) {
    if (name == nullptr) return std::nullopt;
    return name->text;
  }
  // Most codes are small whole numbers; they index `direct_` instead of being hashed.
  const Name* Find(float code, bool last) const {
    if (code >= 0.0f && code < static_cast<float>(kDirectCodes)) {
      const auto whole = static_cast<size_t>(code);
      if (static_cast<float>(whole) == code) {
        if (whole >= direct_.size()) return nullptr;
        const uint32_t entry = last ? direct_[whole].last : direct_[whole].first;
        return entry == kNone ? nullptr : &names_[entry];
      }
    }
    return FindHashed(code, last);
  }
  const Name* FindHashed(float code, bool last) const;
  static float Key(float code) { return code == 0.0f ? 0.0f : code; }  // -0 and 0 are one code
  static constexpr size_t kDirectCodes = 1024;
  static std::optional<size_t> DirectIndex(float code) {
    if (!(code >= 0.0f && code < static_cast<float>(kDirectCodes))) return std::nullopt;
    const auto whole = static_cast<size_t>(code);
    if (static_cast<float>(whole) != code) return std::nullopt;
    return whole;
  }
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Entries {
    uint32_t first = kNone;
    uint32_t last = kNone;
  };
  std::vector<Entries> direct_;
  std::vector<Name> names_;
  std::unordered_map<float, size_t, FloatKeyHash> first_;
  std::unordered_map<float, size_t, FloatKeyHash> last_;
};

// The code tables of the pattern folder that lookups use.
enum class TableId { kL1, kL4, kL8, kL13, kL14, kL15, kL16, kL17, kL18, kL18B, kL19, kCount };

// One line of a geology name table: a code rounded to 16 bits and its name.
struct GeologyEntry {
  short code;
  std::u16string name;
};

// The three geology name tables, KISHITU.TXT, SHITU.TXT and MAJIRI.TXT.
struct GeologyTables {
  std::vector<GeologyEntry> geology;
  std::vector<GeologyEntry> soil;
  std::vector<GeologyEntry> admixture;
};

// The tables of one pattern folder, each read the first time a lookup needs it and then kept, so
// a batch of conversions reads each table once. Safe to share between threads.
class PatternTables {
 public:
  // `folder` is the pattern folder in Windows form with its trailing "\".
  explicit PatternTables(std::u16string folder);

  const std::u16string& folder() const { return folder_; }
  // The table; a missing table file throws Error::Kind::kFileMissing naming it. Inline once the
  // table is loaded, for records ask for their table by the thousand.
  const CodeTable& Get(TableId id) {
    const Slot& slot = slots_[static_cast<size_t>(id)];
    if (slot.loaded.load(std::memory_order_acquire)) return slot.table;
    return Load(id);
  }
  // The geology name tables; each of the three files is required.
  const GeologyTables& Geology();

 private:
  // Not std::once_flag: with MinGW's winpthreads a std::call_once whose load throws leaves its
  // once object locked, and a later flag at the same address then waits for ever.
  struct Slot {
    std::mutex mutex;
    std::atomic<bool> loaded{false};
    CodeTable table;
  };
  const CodeTable& Load(TableId id);

  std::u16string folder_;
  std::array<Slot, static_cast<size_t>(TableId::kCount)> slots_;
  std::mutex geology_mutex_;
  std::atomic<bool> geology_loaded_{false};
  GeologyTables geology_;
};

// The file of a table, and its name ("L18B.TXT").
constexpr FileId TableFile(TableId id) {
  return static_cast<FileId>(static_cast<size_t>(FileId::kL1) + static_cast<size_t>(id));
}
constexpr std::u16string_view TableFileName(TableId id) { return FileName(TableFile(id)); }
static_assert(TableFile(TableId::kL19) == FileId::kL19 &&
              TableFile(TableId::kCount) == FileId::kGeology);

// Most lines a geology name table may have.
inline constexpr size_t kGeologyTableSize = 1000;

// Reads one geology name table: six fields a line, the code (field 1, rounded to a 16-bit integer,
// halves to even) and the name (field 2). A code beyond 16 bits or more than kGeologyTableSize
// lines throw Error::Kind::kOutOfRange naming the file and line.
std::vector<GeologyEntry> ReadGeologyTable(FieldReader& reader);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_CODE_TABLE_H_
