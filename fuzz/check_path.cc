// Fuzz target: the destination path check over a drive table of C:, D: and Z:.

#include <filesystem>
#include <string>

#include "base/message_host.h"
#include "base/utf.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/scratch_drives.h"
#include "text/path_check.h"

namespace tjvx::fuzz {
namespace {

class CountingHost : public base::MessageHost {
 public:
  int ShowMessage(std::u16string_view, int, std::u16string_view) override {
    ++boxes;
    return base::kAnswerOk;
  }
  int boxes = 0;
};

}  // namespace

int CheckPathOnDrives(const uint8_t* data, size_t size) {
  ScratchDrives& drives = ScratchDrives::Get();
  static const bool made = [&] {
    std::filesystem::create_directories(drives.c() / "DATA" / "B-12");
    std::filesystem::create_directories(drives.d() / "OUT.1");
    return true;
  }();
  (void)made;
  drives.Install();

  std::u16string path = base::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  CountingHost host;
  const bool accepted = text::CheckPath(path, host);
  TJVX_FUZZ_CHECK(host.boxes <= 1);
  if (host.boxes == 1) TJVX_FUZZ_CHECK(!accepted);
  if (!accepted) return 0;
  // An accepted path is a drive, a "\" after it and a trailing "\", without blanks or wildcards.
  TJVX_FUZZ_CHECK(path.size() >= 3 && path[1] == u':' && path[2] == u'\\');
  TJVX_FUZZ_CHECK(path.back() == u'\\');
  TJVX_FUZZ_CHECK(path.find_first_of(u"*? ") == std::u16string::npos);
  TJVX_FUZZ_CHECK(path.size() == 3 || path.find(u"\\\\") == std::u16string::npos);
  // The rewritten path passes again unchanged.
  std::u16string again = path;
  TJVX_FUZZ_CHECK(text::CheckPath(again, host));
  TJVX_FUZZ_CHECK(again == path);
  TJVX_FUZZ_CHECK(host.boxes == 0);
  return 0;
}

}  // namespace tjvx::fuzz

TJVX_FUZZ_ENTRY(tjvx::fuzz::CheckPathOnDrives)
