#include "convert/values.h"

#include "common/text.h"
#include "source/fcopysub.h"

namespace tjvx {

std::u16string NumberValue(std::u16string_view value) {
  return std::u16string(TrimLeft(FCOPYSUB::NormaliseField(FCOPYSUB::kNumber, value)));
}

std::u16string BottomDepthValue(std::u16string_view value) {
  return std::u16string(
      TrimLeft(FCOPYSUB::NormaliseField(FCOPYSUB::kBottomDepth, FCOPYSUB::DepthText(value))));
}

std::u16string TextValue(std::u16string_view value) {
  return std::u16string(TrimLeft(FCOPYSUB::NormaliseField(FCOPYSUB::kText, value)));
}

std::u16string DatePart(std::u16string_view date, size_t start) {
  return NumberValue(start - 1 < date.size() ? date.substr(start - 1, 2) : std::u16string_view());
}

}  // namespace tjvx
