#ifndef TJVX_CONVERT_SITE_REGISTRY_H_
#define TJVX_CONVERT_SITE_REGISTRY_H_

#include <array>
#include <string>
#include <string_view>

namespace tjvx::convert {

// The sites converted in this program run. The first list (0..100) holds the converted names in
// the order they came; the second list (1..200) holds each site once, recognised by its first
// eight characters. Nothing of it reaches the converted file.
class SiteRegistry {
 public:
  // Registers the converted file `name` written into `destination`.
  void Register(std::u16string_view name, std::u16string_view destination);

  int count() const { return count_; }
  // The entry of the second list at `index` (1..count).
  const std::u16string& Site(int index) const { return sites_[index]; }
  int current_index() const { return current_index_; }
  const std::u16string& current_folder() const { return current_folder_; }

 private:
  std::array<std::u16string, 101> names_;  // first list
  int names_used_ = 0;
  std::array<std::u16string, 201> sites_;  // second list, from 1
  int count_ = 0;
  int current_index_ = 0;
  std::u16string current_folder_;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_SITE_REGISTRY_H_
