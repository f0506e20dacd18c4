#include "source/code_table.h"

#include <cmath>

#include "base/error.h"
#include "platform/files.h"
#include "source/source_files.h"
#include "text/numbers.h"
#include "text/widths.h"

namespace tjvx::source {
namespace {

struct TableLayout {
  size_t fields;
  size_t code_field;
  size_t name_field;
};

// Indexed by TableId: L1, L4, L8, L13 to L17, L18, L18B, L19.
constexpr TableLayout kLayouts[] = {
    {2, 0, 1}, {2, 0, 1}, {3, 0, 1}, {2, 0, 1}, {2, 0, 1}, {2, 0, 1},
    {2, 0, 1}, {3, 0, 2}, {2, 0, 1}, {2, 0, 1}, {2, 0, 1},
};
static_assert(std::size(kLayouts) == static_cast<size_t>(TableId::kCount));

// A required file of the pattern folder: missing is an error, empty is a table without entries.
FieldReader OpenRequired(const std::u16string& path) {
  if (!platform::FileSize(path)) throw base::Error(base::Error::Kind::kFileMissing, path);
  std::optional<FieldReader> reader = OpenSourceFile(path);
  return reader ? std::move(*reader) : FieldReader(u"", path);
}

// Runs `load` once: the first caller loads while later ones wait, and every caller after sees the
// result without taking the lock. A load that throws leaves `loaded` false, so a later run tries
// the file again (std::call_once hangs after a throwing call on some Windows thread libraries).
template <typename Load>
void LoadOnce(std::atomic<bool>& loaded, std::mutex& mutex, Load load) {
  if (loaded.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> lock(mutex);
  if (loaded.load(std::memory_order_relaxed)) return;
  load();
  loaded.store(true, std::memory_order_release);
}

}  // namespace

CodeTable::CodeTable(FieldReader& reader, size_t fields, size_t code_field, size_t name_field) {
  std::vector<std::u16string_view> record;
  while (!reader.AtEnd()) {
    reader.ReadRecord(fields, record);
    const float key = Key(text::NumericValue(record[code_field]));
    const auto entry = static_cast<uint32_t>(names_.size());
    if (std::optional<size_t> index = DirectIndex(key)) {
      if (direct_.size() <= *index) direct_.resize(*index + 1);
      if (direct_[*index].first == kNone) direct_[*index].first = entry;
      direct_[*index].last = entry;
    } else {
      first_.emplace(key, entry);
      last_[key] = entry;
    }
    const std::u16string_view name = record[name_field];
    std::u16string full_width = text::ToFullWidth(name);
    const bool blank = full_width.find(u' ') != std::u16string::npos;
    names_.push_back({std::u16string(name), std::move(full_width), blank});
  }
}

const CodeTable::Name* CodeTable::FindHashed(float code, bool last) const {
  const auto& entries = last ? last_ : first_;
  auto it = entries.find(Key(code));
  if (it == entries.end()) return nullptr;
  return &names_[it->second];
}

PatternTables::PatternTables(std::u16string folder) : folder_(std::move(folder)) {}

const CodeTable& PatternTables::Load(TableId id) {
  Slot& slot = slots_[static_cast<size_t>(id)];
  LoadOnce(slot.loaded, slot.mutex, [&] {
    const TableLayout& layout = kLayouts[static_cast<size_t>(id)];
    FieldReader reader = OpenRequired(folder_ + std::u16string(TableFileName(id)));
    slot.table = CodeTable(reader, layout.fields, layout.code_field, layout.name_field);
  });
  return slot.table;
}

const GeologyTables& PatternTables::Geology() {
  LoadOnce(geology_loaded_, geology_mutex_, [&] {
    for (auto [file, table] : {std::pair{FileId::kGeology, &GeologyTables::geology},
                               std::pair{FileId::kSoil, &GeologyTables::soil},
                               std::pair{FileId::kAdmixture, &GeologyTables::admixture}}) {
      FieldReader reader = OpenRequired(folder_ + std::u16string(FileName(file)));
      geology_.*table = ReadGeologyTable(reader);
    }
  });
  return geology_;
}

std::vector<GeologyEntry> ReadGeologyTable(FieldReader& reader) {
  std::vector<GeologyEntry> entries;
  std::vector<std::u16string_view> record;
  while (!reader.AtEnd()) {
    long long line = reader.line();
    reader.ReadRecord(6, record);
    if (entries.size() == kGeologyTableSize) {
      throw base::Error(base::Error::Kind::kOutOfRange, reader.file(), line, -1,
                        u"行数が多すぎます (最大 1000 行)");
    }
    double code = std::nearbyint(static_cast<double>(text::NumericValue(record[0])));
    if (code < -32768.0 || code > 32767.0) {
      throw base::Error(base::Error::Kind::kOutOfRange, reader.file(), line, -1,
                        u"コードが -32768～32767 の範囲外です");
    }
    entries.push_back({static_cast<short>(code), std::u16string(record[1])});
  }
  return entries;
}

}  // namespace tjvx::source
