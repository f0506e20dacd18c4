#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "platform/cp932.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace tjvx::testing {

TempDrives::TempDrives() {
  std::random_device random;
  base_ = fs::temp_directory_path() / ("tjvx-test-" + std::to_string(random()));
  c_ = base_ / "c";
  d_ = base_ / "d";
  fs::create_directories(c_);
  fs::create_directories(d_);
  platform::DriveTable table;
  table.Map(u'C', c_);
  table.Map(u'D', d_);
  platform::SetDrives(table);
}

TempDrives::~TempDrives() {
  platform::SetDrives(platform::DriveTable());
  std::error_code ec;
  // Read-only folders made by a test must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(base_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(base_, ec);
}

void WriteCp932(const fs::path& path, std::u16string_view text) {
  WriteBytes(path, platform::EncodeCp932(text, u"test"));
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RecordingHost::MsgBox(std::u16string_view prompt, int style, std::u16string_view title) {
  boxes.push_back({std::u16string(prompt), style, std::u16string(title)});
  if (answers.empty()) return kAnswerOk;
  int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

}  // namespace tjvx::testing
