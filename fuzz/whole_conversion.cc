// Fuzz target: a whole conversion. The input is carved into the files of a source folder and a
// pattern folder (names from the fixed lists the run reads), over the sample pattern folder.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/check.h"
#include "convert/run.h"
#include "converted/reader.h"
#include "drawing/log_layout.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/log_properties.h"
#include "fuzz/scratch_drives.h"
#include "platform/cp932.h"

namespace fs = std::filesystem;

namespace tjvx::fuzz {
namespace {

constexpr const char* kSourceNames[] = {
    "X1.TXT",  "X3.TXT",  "X5.TXT",  "X7.TXT",  "X11.TXT",    "X12.TXT",   "R30.TXT", "R31.TXT",
    "R32.TXT", "R33.TXT", "R34.TXT", "R35.TXT", "R41.TXT",    "N8.TXT",    "N9.TXT",  "G40.TXT",
    "G71.TXT", "G72.TXT", "G73.TXT", "G81.TXT", "Titl01.txt", "Titl02.txt"};
constexpr const char* kPatternNames[] = {
    "L1.TXT",  "L4.TXT",  "L8.TXT",   "L13.TXT", "L14.TXT",     "L15.TXT",   "L16.TXT",
    "L17.TXT", "L18.TXT", "L18B.TXT", "L19.TXT", "KISHITU.TXT", "SHITU.TXT", "MAJIRI.TXT"};
constexpr size_t kSourceCount = std::size(kSourceNames);
constexpr size_t kNameCount = kSourceCount + std::size(kPatternNames);

constexpr std::string_view kEarlier = "an earlier conversion\r\n";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every file below `folder` with its bytes.
std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files.emplace_back(entry.path().lexically_relative(folder).string(),
                       entry.is_regular_file() ? ReadAll(entry.path()) : "<folder>");
  }
  std::sort(files.begin(), files.end());
  return files;
}

class QuietHost : public convert::RunHost {
 public:
  std::u16string SourceFolder() override { return u"C:\\B"; }
  std::u16string Destination() override { return u"D:\\OUT"; }
  void SetStatus(std::u16string_view) override {}
  void FocusDestination() override {}
  void SetPointer(int) override {}
  int ShowMessage(std::u16string_view, int, std::u16string_view) override {
    return base::kAnswerYes;
  }
};

// Input: entries of a name byte, a two-byte little-endian length and that many content bytes (cut
// short by the input's end). The name byte picks the file (byte % 36); byte / 36 of 5 puts a folder
// in its place, of 6 removes it, else the content is written.
void WriteInputs(const uint8_t* data, size_t size, const fs::path& source,
                 const fs::path& pattern) {
  for (size_t i = 0; i + 3 <= size;) {
    const uint8_t name_byte = data[i];
    const size_t length = std::min<size_t>(data[i + 1] | data[i + 2] << 8, size - i - 3);
    const std::string_view content(reinterpret_cast<const char*>(data + i + 3), length);
    i += 3 + length;
    const size_t index = name_byte % kNameCount;
    const fs::path file = index < kSourceCount ? source / kSourceNames[index]
                                               : pattern / kPatternNames[index - kSourceCount];
    fs::remove_all(file);
    if (name_byte / kNameCount == 5) {
      fs::create_directory(file);
    } else if (name_byte / kNameCount != 6) {
      WriteAll(file, content);
    }
  }
}

// A whole file of CP932 lines, each ended by CR LF, that the reader of converted files takes,
// gives back byte for byte, and draws as a log that holds what a reader trusts.
void CheckConvertedFile(const std::string& bytes) {
  TJVX_FUZZ_CHECK(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
  const std::u16string text = platform::DecodeCp932(bytes, u"converted");
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == u'\n') TJVX_FUZZ_CHECK(k > 0 && text[k - 1] == u'\r');
    if (text[k] == u'\r') TJVX_FUZZ_CHECK(k + 1 < text.size() && text[k + 1] == u'\n');
  }
  // The reader of converted files takes it, and writing its model back gives the same bytes.
  std::u16string why;
  TJVX_FUZZ_CHECK(converted::RoundTrips(bytes, &why));
  // Its log, one page and on A4 pages, holds what a reader trusts of notes and N values.
  const converted::ConvertedFile file = converted::ReadConvertedBytes(bytes, u"B");
  for (const drawing::Paper paper : {drawing::Paper::kNone, drawing::Paper::kA4}) {
    const drawing::Drawing log = drawing::LayOutLog(file, drawing::LayoutOptions{100, paper});
    const std::vector<std::string> faults = LogLayoutFaults(file, log);
    for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
    TJVX_FUZZ_CHECK(faults.empty());
  }
}

}  // namespace

// Runs one conversion of the input's folders with two threads and with one, and a check of them,
// and holds each to what a user trusts of it.
int WholeConversion(const uint8_t* data, size_t size) {
  static const std::vector<std::pair<std::string, std::string>> sample_tables = [] {
    return Snapshot(fs::path(TJVX_SOURCE_DIR) / "samples" / "DOZORA");
  }();
  ScratchDrives& drives = ScratchDrives::Get();
  drives.Install();
  const fs::path source = drives.c() / "B";
  const fs::path pattern = drives.d() / "P";
  const fs::path out = drives.d() / "OUT";
  for (const fs::path& folder : {source, pattern, out}) {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  for (const auto& [name, bytes] : sample_tables) WriteAll(pattern / name, bytes);
  WriteAll(out / "B", kEarlier);

  WriteInputs(data, size, source, pattern);

  const auto source_before = Snapshot(source);
  const auto pattern_before = Snapshot(pattern);
  QuietHost host;
  source::PatternTables tables(u"D:\\P\\");
  const convert::RunResult result = convert::RunConversion(host, tables, nullptr);

  // The source and pattern folders are only read.
  TJVX_FUZZ_CHECK(Snapshot(source) == source_before);
  TJVX_FUZZ_CHECK(Snapshot(pattern) == pattern_before);
  const auto written = Snapshot(out);
  TJVX_FUZZ_CHECK(written.size() == 1 && written[0].first == "B");
  if (result.outcome == convert::RunOutcome::kConverted) {
    CheckConvertedFile(written[0].second);
  } else {
    // A failed run names its cause, never an unforeseen one, and keeps the earlier file.
    TJVX_FUZZ_CHECK(result.outcome == convert::RunOutcome::kFailed);
    TJVX_FUZZ_CHECK(!result.message.empty());
    TJVX_FUZZ_CHECK(result.message.rfind(u"予期しないエラー", 0) != 0);
    TJVX_FUZZ_CHECK(written[0].second == kEarlier);
  }

  // One thread makes what two made, or fails with the same message and keeps the earlier file.
  QuietHost one_thread_host;
  source::PatternTables one_thread_tables(u"D:\\P\\");
  const convert::RunResult one_thread = convert::RunConversion(one_thread_host, one_thread_tables,
                                                               nullptr, convert::RunThreads::kOne);
  TJVX_FUZZ_CHECK(one_thread.outcome == result.outcome);
  TJVX_FUZZ_CHECK(one_thread.message == result.message);
  TJVX_FUZZ_CHECK(Snapshot(out) == written);

  // A check of the folder finds an error exactly when the conversion fails, and the error it
  // says the conversion stops at carries the conversion's message; it writes nothing anywhere, and
  // a successful conversion counts the warnings of changed values the check lists (the plausibility
  // rules judge a check only).
  source::PatternTables check_tables(u"D:\\P\\");
  const convert::CheckResult check = convert::CheckSourceFolder(u"C:\\B", check_tables);
  TJVX_FUZZ_CHECK((check.Count(base::Severity::kError) > 0) ==
                  (result.outcome == convert::RunOutcome::kFailed));
  TJVX_FUZZ_CHECK(check.stop.has_value() == (result.outcome == convert::RunOutcome::kFailed));
  if (check.stop) {
    TJVX_FUZZ_CHECK(check.findings[*check.stop].severity == base::Severity::kError);
    TJVX_FUZZ_CHECK(check.stop_message == result.message);
  } else {
    TJVX_FUZZ_CHECK(check.ConversionWarnings() == result.warnings);
  }
  TJVX_FUZZ_CHECK(Snapshot(source) == source_before);
  TJVX_FUZZ_CHECK(Snapshot(pattern) == pattern_before);
  TJVX_FUZZ_CHECK(Snapshot(out) == written);
  return 0;
}

}  // namespace tjvx::fuzz

TJVX_FUZZ_ENTRY(tjvx::fuzz::WholeConversion)
