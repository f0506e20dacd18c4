#include "convert/site_registry.h"

namespace tjvx::convert {

void SiteRegistry::Register(std::u16string_view name, std::u16string_view destination) {
  // The first list keeps the latest 101 names; the newest is the entry taken.
  const int chosen = names_used_ < static_cast<int>(names_.size())
                         ? names_used_++
                         : static_cast<int>(names_.size()) - 1;
  names_[chosen] = std::u16string(name);
  const std::u16string& entry = names_[chosen];

  int index = 0;
  for (int i = 1; i <= count_; ++i) {
    if (sites_[i].substr(0, 8) == entry) {
      index = i;
      break;
    }
  }
  if (index == 0) {
    // A full list takes no more sites; the conversion itself does not depend on it.
    if (count_ + 1 >= static_cast<int>(sites_.size())) return;
    index = ++count_;
  }
  sites_[index] = entry;
  current_index_ = index;
  current_folder_ = std::u16string(destination) + u"\\";
}

}  // namespace tjvx::convert
