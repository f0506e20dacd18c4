#include "drawing/log_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <string>

#include "base/utf.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::drawing {

bool IsPlaceholderText(std::u16string_view trimmed) {
  switch (trimmed.size()) {
    case 0:
      return true;
    case 1:
      return trimmed[0] == u'@';
    case 2:
      return trimmed[0] == u'-' && trimmed[1] == u'1';
    case 5:
      return trimmed == u"99999";
    default:
      return false;
  }
}

std::optional<std::u16string_view> Present(std::u16string_view value) {
  value = Trimmed(value);
  if (IsPlaceholderText(value)) return std::nullopt;
  return value;
}

void AppendShown(std::u16string& out, std::u16string_view trimmed) {
  const auto at = static_cast<std::ptrdiff_t>(out.size());
  out.append(trimmed);
  std::replace(out.begin() + at, out.end(), u'_', u' ');
}

std::u16string_view Trimmed(std::u16string_view value) {
  if (value.empty() || (value.front() != u' ' && value.back() != u' ')) return value;
  return text::Trim(value);
}

std::optional<double> NumberOf(std::u16string_view trimmed) {
  if (!text::IsNumericText(trimmed)) return std::nullopt;
  const float value = text::NumericValue(trimmed);
  // A number beyond single precision reads as 0 there: it is no number the log can draw (a reading
  // of 10^40 blows is not a test without a blow).
  if (value == 0 && !text::IsZeroText(trimmed)) return std::nullopt;
  return value;
}

std::optional<double> DepthOfNumber(std::u16string_view trimmed, std::optional<double> number) {
  if (!number || trimmed == u"-1" || *number < 0 || *number > kMaxDepth) return std::nullopt;
  return number;
}

std::optional<double> DepthOf(std::u16string_view value) {
  const std::u16string_view trimmed = Trimmed(value);
  return DepthOfNumber(trimmed, NumberOf(trimmed));
}

std::optional<long long> CountOf(std::u16string_view value) {
  const std::optional<double> count = NumberOf(Trimmed(value));
  if (!count || *count < 0 || *count > kMaxCount || *count != std::floor(*count)) {
    return std::nullopt;
  }
  return static_cast<long long>(*count);
}

std::optional<double> CountedLength(std::u16string_view trimmed) {
  const std::optional<double> cm = NumberOf(trimmed);
  if (!cm || *cm <= 0 || *cm > kMaxCount) return std::nullopt;
  return cm;
}

bool IsBadLength(std::u16string_view trimmed) {
  if (IsPlaceholderText(trimmed)) return false;
  const std::optional<double> cm = NumberOf(trimmed);
  return !cm || *cm < 0 || *cm > kMaxCount;
}

std::optional<BlowCount> CountBlows(const std::array<std::u16string_view, 3>& lengths,
                                    const std::array<std::u16string_view, 3>& readings,
                                    std::vector<int>* lost) {
  long long blows = 0;
  double length = 0;
  bool counted = false, drawable = true;
  for (int i = 0; i < 3; ++i) {
    const std::u16string_view cm = Trimmed(lengths[i]), reading = Trimmed(readings[i]);
    const std::optional<double> counted_length = CountedLength(cm);
    if (!counted_length && IsBadLength(cm) && lost != nullptr) lost->push_back(i);
    if (IsPlaceholderText(reading)) {
      // No reading: 0 blows where the interval counts.
    } else if (const std::optional<long long> count = CountOf(reading); count && counted_length) {
      blows += *count;
    } else {
      // A reading that is no count of blows, or blows without a counted length.
      drawable = false;
      if (lost != nullptr) lost->push_back(3 + i);
    }
    if (counted_length) {
      counted = true;
      // Lengths are single precision numbers, as the converter reads them.
      length = static_cast<float>(length + *counted_length);
    }
  }
  if (!counted || !drawable) return std::nullopt;
  BlowCount count{blows, length, blows};
  if (length < 30) {
    // Blows over a short penetration stand where they would be over 30 cm; a count no test has is
    // kept in range before it is rounded.
    count.n = std::llround(std::min(30.0 * static_cast<double>(blows) / length, kMaxCount));
  }
  return count;
}

std::u16string BlowLabel(const BlowCount& count) {
  std::u16string label = base::FromAscii(std::to_string(count.blows));
  if (count.length_cm == 30) return label;
  char digits[32];
  const auto [end, ec] =
      std::to_chars(std::begin(digits), std::end(digits), static_cast<float>(count.length_cm));
  label += u'/';
  label += base::FromAscii(std::string_view(digits, ec == std::errc() ? end - digits : 0));
  return label;
}

std::optional<std::u16string> EraDate(std::u16string_view era, std::u16string_view year,
                                      std::u16string_view month, std::u16string_view day) {
  struct Era {
    std::u16string_view name;
    int base;        // the Western year before its first year
    long long from;  // its first day, yyyymmdd
  };
  static constexpr Era kEras[] = {
      {u"昭和", 1925, 19261225}, {u"平成", 1988, 19890108}, {u"令和", 2018, 20190501}};
  era = Trimmed(era);
  const std::optional<long long> year_count = CountOf(year);
  if (!year_count || *year_count < 1 || *year_count > 9999) return std::nullopt;
  auto shown = [](std::u16string_view value) -> std::optional<std::u16string_view> {
    value = Trimmed(value);
    if (IsPlaceholderText(value)) return std::nullopt;
    return value;
  };
  const std::optional<std::u16string_view> month_text = shown(month), day_text = shown(day);
  const std::optional<long long> month_number = month_text ? CountOf(*month_text) : std::nullopt;
  const std::optional<long long> day_number =
      month_number && day_text ? CountOf(*day_text) : std::nullopt;
  // The month and day are written as they are; their numbers only choose the era.
  std::u16string tail;
  if (month_text) tail.append(*month_text).append(u"月");
  if (month_text && day_text) tail.append(*day_text).append(u"日");

  const Era* written = nullptr;
  for (const Era& e : kEras) {
    if (e.name == era) written = &e;
  }
  std::u16string date(era);
  long long era_year = *year_count;
  if (written != nullptr) {
    const long long western = written->base + *year_count;
    const long long day_key = western * 10000 +
                              std::clamp<long long>(month_number.value_or(1), 0, 99) * 100 +
                              std::clamp<long long>(day_number.value_or(1), 0, 99);
    for (const Era& e : kEras) {
      if (day_key >= e.from) {
        date = e.name;
        era_year = western - e.base;
      }
    }
  }
  if (era_year == 1 && written != nullptr) {
    date.append(u"元");
  } else {
    date.append(base::FromAscii(std::to_string(era_year)));
  }
  date.append(u"年").append(tail);
  return date;
}

}  // namespace tjvx::drawing
