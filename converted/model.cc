#include "converted/model.h"

#include <stdexcept>

namespace tjvx::converted {

Values::Values(std::initializer_list<std::u16string_view> values) {
  if (values.size() > kMost) throw std::length_error("more values than a record has");
  std::u16string text;
  for (const std::u16string_view value : values) {
    if (count_ > 0) text += u' ';
    text += value;
    ends_[count_++] = static_cast<std::uint32_t>(text.size());
  }
  Own(std::move(text));
}

// A copy owns its text, so a record copied out of its file, or out of a reader's callback, stays
// whole after the file's text is gone; moving keeps the view.
Values::Values(const Values& other)
    : text_(other.text_), ends_(other.ends_), count_(other.count_), kept_(other.kept_) {
  if (!other.text_.empty()) Own(std::u16string(other.text_));
}

Values& Values::operator=(const Values& other) {
  if (this != &other) {
    Values copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Values Values::Viewing(std::u16string_view text, const std::array<std::uint32_t, kMost>& ends,
                       size_t count) {
  Values values;
  values.text_ = text;
  std::copy(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(count), values.ends_.begin());
  values.count_ = static_cast<std::uint8_t>(count);
  return values;
}

Values Values::KeptViewing(std::u16string_view text) {
  Values values;
  values.text_ = text;
  values.kept_ = true;
  return values;
}

Values Values::Kept(std::u16string_view text) {
  Values values;
  values.Own(std::u16string(text));
  values.kept_ = true;
  return values;
}

void Values::push_back(std::u16string_view value) {
  if (count_ == kMost) throw std::length_error("more values than a record has");
  std::u16string text;
  if (!kept_) text = text_;
  kept_ = false;
  if (count_ > 0) text += u' ';
  text += value;
  ends_[count_++] = static_cast<std::uint32_t>(text.size());
  Own(std::move(text));
}

void Values::pop_back() {
  if (count_ == 0) return;
  ends_[--count_] = 0;
  Own(std::u16string(text_.substr(0, count_ == 0 ? 0 : ends_[count_ - 1])));
}

void Values::Set(size_t k, std::u16string_view value) {
  if (k >= count_) throw std::out_of_range("no such value");
  const size_t begin = k == 0 ? 0 : ends_[k - 1] + 1;
  std::u16string text(text_.substr(0, begin));
  text += value;
  text += text_.substr(ends_[k]);
  const auto grown = static_cast<std::int64_t>(value.size()) -
                     static_cast<std::int64_t>(ends_[k] - begin);
  for (size_t i = k; i < count_; ++i) {
    ends_[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(ends_[i]) + grown);
  }
  Own(std::move(text));
}

void Values::Own(std::u16string text) {
  own_ = std::make_unique<std::u16string>(std::move(text));
  text_ = *own_;
}

}  // namespace tjvx::converted
