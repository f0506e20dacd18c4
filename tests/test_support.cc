#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>

#include "platform/cp932.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace tjvx::test {

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

void SetEnvironment(const char* name, const fs::path& value) {
#ifdef _WIN32
  std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  ASSERT_EQ(_wputenv_s(wide_name.c_str(), value.c_str()), 0) << name;
#else
  ASSERT_EQ(setenv(name, value.c_str(), 1), 0) << name;
#endif
}

void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  // An empty value removes the variable.
  std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  _wputenv_s(wide_name.c_str(), L"");
#else
  unsetenv(name);
#endif
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

void WriteBorehole(const fs::path& folder, BoreholeKind kind) {
  CopyTree("samples/boreholes/B-12", folder);
  if (kind == BoreholeKind::kClean) {
    for (const char* name : {"X3.TXT", "R30.TXT", "X7.TXT", "X5.TXT"}) fs::remove(folder / name);
  } else if (kind == BoreholeKind::kError) {
    WriteBytes(folder / "N9.TXT", "1,\"\xFF\",2.10\r\n");
  }
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RecordingHost::ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) {
  boxes.push_back({std::u16string(prompt), style, std::u16string(title)});
  if (answers.empty()) return base::kAnswerOk;
  int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

}  // namespace tjvx::test

namespace tjvx::test {

SampleFolders::SampleFolders() : tables_(u"D:\\DOZORA\\") {
  CopyTree("samples/boreholes/B-12", Source());
  CopyTree("samples/DOZORA", Pattern());
}

fs::path RepositoryPath(const fs::path& relative) { return fs::path(TJVX_SOURCE_DIR) / relative; }

void CopyTree(const fs::path& from_repository, const fs::path& to) {
  fs::create_directories(to);
  fs::copy(RepositoryPath(from_repository), to, fs::copy_options::recursive);
}

std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files.emplace_back(fs::relative(entry.path(), folder).string(),
                       entry.is_regular_file() ? ReadBytes(entry.path()) : "<folder>");
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::u16string> ConvertedLines(const fs::path& file) {
  std::u16string text = platform::DecodeCp932(ReadBytes(file), u"converted");
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u"\r\n", start);
    EXPECT_NE(end, std::u16string::npos) << "every line ends with CR LF";
    if (end == std::u16string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace tjvx::test
