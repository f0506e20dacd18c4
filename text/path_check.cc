#include "text/path_check.h"

#include "base/error.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "text/trim.h"
#include "text/widths.h"

namespace tjvx::text {
namespace {

constexpr size_t kNone = std::u16string::npos;

}  // namespace

bool CheckPath(std::u16string& path, base::MessageHost& host, bool as_given) {
  if (!as_given) path = std::u16string(Trim(path));
  if (ByteMid(path, 2, 1) != u":") {
    host.ShowMessage(kDriveMessage, base::kMsgInformation, {});
    return false;
  }
  if (path.find_first_of(u"*? ") != kNone) return false;
  if (path.size() < 2 || path[1] != u':') return false;
  if (path.size() >= 3 && path[2] != u'\\') path = path.substr(0, 2) + u'\\' + path.substr(2);
  if (!platform::MakeDriveCurrent(path[0])) return false;
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

}  // namespace tjvx::text
