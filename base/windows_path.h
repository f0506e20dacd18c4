#ifndef TJVX_BASE_WINDOWS_PATH_H_
#define TJVX_BASE_WINDOWS_PATH_H_

#include <string_view>

#include "base/ascii.h"

// The pieces of a Windows-form path ("C:\DATA\B-12") that every layer asks for: its drive, its
// last name, and the path without trailing "\".
namespace tjvx::base {

// Whether `path` starts with a drive: an ASCII letter and ":" ("C:", "c:\DATA", "C:B-12").
constexpr bool StartsWithDrive(std::u16string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':';
}
constexpr bool StartsWithDrive(std::string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

// What follows the last "\" of `path` ("C:\DATA\B-12" gives "B-12", "C:\DATA\" gives ""); all of
// it when it holds no "\".
constexpr std::u16string_view LastName(std::u16string_view path) {
  return path.substr(path.find_last_of(u'\\') + 1);
}

// `path` without the "\" it ends in, but never shorter than `keep` characters: 3 keeps a drive's
// root "C:\" whole, 0 takes every trailing "\".
constexpr std::u16string_view WithoutTrailingBackslashes(std::u16string_view path,
                                                         size_t keep = 0) {
  while (path.size() > keep && path.back() == u'\\') path.remove_suffix(1);
  return path;
}

}  // namespace tjvx::base

#endif  // TJVX_BASE_WINDOWS_PATH_H_
