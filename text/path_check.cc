#include "base/error.h"
#include "text/numbers.h"
#include "text/path_check.h"
#include "platform/cp932.h"
#include "platform/drives.h"

namespace TRCOMSUB {
namespace {

constexpr size_t kNone = std::u16string::npos;

std::string LenientCp932(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    try {
      tjvx::platform::AppendCp932(std::u16string_view(&c, 1), {}, bytes);
    } catch (const tjvx::Error&) {
      bytes += '?';
    }
  }
  return bytes;
}

}  // namespace

int ByteLength(std::u16string_view text) { return tjvx::DisplayWidth(text); }

std::u16string ByteMid(std::u16string_view text, int start, int length) {
  std::string bytes = LenientCp932(text);
  if (start < 1 || length <= 0 || static_cast<size_t>(start) > bytes.size()) return {};
  std::string piece = bytes.substr(start - 1, length);
  try {
    return tjvx::platform::DecodeCp932(piece, {});
  } catch (const tjvx::Error&) {
    std::u16string out;
    for (char b : piece) {
      try {
        out += tjvx::platform::DecodeCp932(std::string(1, b), {});
      } catch (const tjvx::Error&) {
        out += u'\uFFFD';
      }
    }
    return out;
  }
}

bool CheckPath(std::u16string& path, tjvx::MessageHost& host) {
  path = std::u16string(tjvx::Trim(path));
  if (ByteMid(path, 2, 1) != u":") {
    host.MsgBox(kDriveMessage, tjvx::kMsgInformation, {});
    return false;
  }
  if (path.find_first_of(u"*? ") != kNone) return false;
  if (path.size() < 2 || path[1] != u':') return false;
  if (path.size() >= 3 && path[2] != u'\\') path = path.substr(0, 2) + u'\\' + path.substr(2);
  if (!tjvx::platform::MakeDriveCurrent(path[0])) return false;
  if (path.back() != u'\\') path += u'\\';
  if (path.size() == 3) return true;  // a drive root "X:\"
  if (path.find(u"\\\\") != kNone) return false;

  // Folder names that hold a dot must follow the 8.3 rule.
  size_t start = 2;
  size_t next = path.find(u'\\', start + 1);
  while (next != kNone) {
    std::u16string_view name = std::u16string_view(path).substr(start + 1, next - start - 1);
    size_t dot = name.find(u'.');
    if (dot != kNone) {
      const size_t dot_position = dot + 1;  // counted from 1, in characters
      const size_t bytes = static_cast<size_t>(ByteLength(name));
      if (dot_position > 9) return false;
      if (bytes > dot_position + 3) return false;
      if (name.find(u'.', dot + 1) != kNone) return false;
    }
    start = next;
    next = path.find(u'\\', start + 1);
  }
  return true;
}

}  // namespace TRCOMSUB
