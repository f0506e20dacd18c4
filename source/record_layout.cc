#include "source/record_layout.h"

#include <algorithm>
#include <initializer_list>

namespace tjvx::source {
namespace {

constexpr std::u16string_view kDepth = u"深度";
constexpr std::u16string_view kTop = u"上端深度";
constexpr std::u16string_view kBottom = u"下端深度";
constexpr std::u16string_view kCode = u"コード";
constexpr std::u16string_view kBlows = u"打撃回数";
constexpr std::u16string_view kPenetration = u"貫入量";
constexpr std::u16string_view kDate = u"日付";

struct Role {
  int field;
  std::u16string_view role;
};

// One file's records: their width, depth fields and the roles of their fields.
struct Layout {
  FileId file;
  size_t fields;
  DepthFields depth;
  std::initializer_list<Role> roles;
};

// The coded note files: a depth and two groups of legend codes.
constexpr std::initializer_list<Role> kCodedNote = {{2, kDepth}, {3, kCode}, {5, kCode}};

const Layout kLayouts[] = {
    {FileId::kX1, 4, {2, 0}, {{2, kDepth}}},
    {FileId::kX3, 7, {2, 0}, kCodedNote},
    {FileId::kR31, 6, {2, 0}, kCodedNote},
    {FileId::kR32, 6, {2, 0}, kCodedNote},
    {FileId::kR33, 6, {2, 0}, kCodedNote},
    {FileId::kR34, 6, {2, 0}, kCodedNote},
    {FileId::kR35, 6, {2, 0}, kCodedNote},
    {FileId::kR30, 6, {2, 0}, kCodedNote},
    {FileId::kX11, 5, {2, 0}, {{2, kDepth}}},
    {FileId::kX12, 3, {2, 0}, {{2, kDepth}, {3, u"記事"}}},
    {FileId::kR41, 11, {2, 0}, {{2, kDepth}, {3, u"値 C"}, {4, u"値 A"}, {5, u"値 B"}}},
    {FileId::kN9, 3, {3, 0}, {{2, kDate}, {3, kDepth}}},
    {FileId::kX7, 68, {5, 6}, {{5, kTop}, {6, kBottom}}},
    {FileId::kG40, 8, {4, 5}, {{2, u"名称"}, {4, kTop}, {5, kBottom}}},
    {FileId::kX5,
     11,
     {2, 0},
     {{2, kDepth},
      {6, kBlows},
      {7, kPenetration},
      {8, kBlows},
      {9, kPenetration},
      {10, kBlows},
      {11, kPenetration}}},
    {FileId::kN8, 3, {3, 0}, {{2, kDate}, {3, kDepth}}},
    {FileId::kG71, 5, {2, 0}, {{2, kDepth}, {5, u"値"}}},
    {FileId::kG73, 4, {2, 0}, {{2, kDepth}, {3, u"値 A"}, {4, u"値 B"}}},
    {FileId::kG81, 5, {2, 0}, {{2, kDepth}, {3, u"値 A"}, {4, u"値 B"}, {5, u"値 C"}}},
    {FileId::kG72, 8, {2, 0}, {{2, kDepth}, {3, u"値"}, {4, kCode}, {6, kCode}, {8, u"テキスト"}}},
    // The title items read as record 1009 (two dates) and 1013 (the rock's code).
    {FileId::kTitle1,
     0,
     {},
     {{10, u"年"}, {11, u"月"}, {12, u"日"}, {13, u"年"}, {14, u"月"}, {15, u"日"}, {16, kCode}}},
};

const Layout* LayoutOf(FileId file) {
  const auto it = std::find_if(std::begin(kLayouts), std::end(kLayouts),
                               [&](const Layout& layout) { return layout.file == file; });
  return it == std::end(kLayouts) ? nullptr : &*it;
}

}  // namespace

size_t RecordFieldCount(FileId file) {
  const Layout* layout = LayoutOf(file);
  return layout == nullptr ? 0 : layout->fields;
}

DepthFields RecordDepthFields(FileId file) {
  const Layout* layout = LayoutOf(file);
  return layout == nullptr ? DepthFields{} : layout->depth;
}

std::u16string_view FieldRole(FileId file, int field) {
  const Layout* layout = LayoutOf(file);
  if (layout == nullptr) return {};
  for (const Role& role : layout->roles) {
    if (role.field == field) return role.role;
  }
  // The twenty code fields of a layer.
  if (file == FileId::kX7 && field >= 9 && field <= 28) return kCode;
  return {};
}

}  // namespace tjvx::source
