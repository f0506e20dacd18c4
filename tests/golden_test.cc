// Whole conversions compared byte for byte with checked-in converted files.
//
// tests/golden/sample/B-12 is the conversion of the bundled sample (samples/boreholes/B-12 with
// samples/DOZORA). It was checked line by line by hand:
// - header: 1005 joins the two contractor halves without their trailing blanks; 1009 is 平成 16
//   for 2004; 1013 is the L1.TXT name of rock code 4 with "_" and the elevation, then three
//   numbers of Titl02.txt; 1014-1016 are items 16-18 of Titl02.txt, half-width kana kept;
// - 2000: the depth-list positions 5, 2 and 5 of the X1.TXT depths 5.30, 11.60 and 15.00;
// - 2001: one line per depth of X3/R31-R35/R30/X11/X1 up to 15.00, each note field taking the
//   next line of its file once the depth passes the depth last read; R34.TXT runs out after 5.30
//   and shows "@" from then on; the 30-character X12.TXT text at 2.50 is joined with the next one,
//   the 78-character note at 15.00 folds into 68 characters and "￥" plus the rest;
// - 3000/3010: two passes over R41.TXT, 0 and blank values as -1;
// - 3030: the X7.TXT record split over two lines reads its code 05 as L8.TXT code 5; the
//   missing code 13 is "@"; a blank bottom depth is 9999; names in full width, blanks as "_";
// - 3070: "～" joins two L19.TXT names, and leads when only the second code has one;
// - 4000: end depths summed in single precision (8.15 with 0.1 + 0 + 0.1 gives 8.34);
// - 5000: 1.5 and 1.50 are one depth; empty values are "@", an empty date "-1 -1";
// - 5010: ｼﾙﾄ and 混り give シルト／混り, an empty value -1, a value 0 stays 0.

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/utf.h"
#include "convert/run.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;

// Compares a converted file with its golden file and reports the first differing line.
void ExpectSameAsGolden(const fs::path& converted, const fs::path& golden) {
  if (std::getenv("TJVX_UPDATE_GOLDEN") != nullptr) {
    fs::copy_file(converted, golden, fs::copy_options::overwrite_existing);
  }
  const std::string actual = test::ReadBytes(converted);
  const std::string expected = test::ReadBytes(golden);
  if (actual == expected) return;
  std::vector<std::u16string> a = test::ConvertedLines(converted);
  std::vector<std::u16string> e = test::ConvertedLines(golden);
  for (size_t i = 0; i < std::max(a.size(), e.size()); ++i) {
    std::u16string left = i < a.size() ? a[i] : u"<none>";
    std::u16string right = i < e.size() ? e[i] : u"<none>";
    if (left != right) {
      ADD_FAILURE() << "line " << i + 1 << " differs\n  converted: " << base::ToUtf8(left)
                    << "\n  expected:  " << base::ToUtf8(right);
      return;
    }
  }
  ADD_FAILURE() << "same lines, different bytes";
}

// With one thread the groups are written as they are made; with two, the later groups wait in
// memory and must still land after the notes in their order.
TEST(Golden, TheSampleBoreholeConvertsToItsGoldenFileWithOneThreadOrTwo) {
  for (convert::RunThreads threads : {convert::RunThreads::kOne, convert::RunThreads::kTwo}) {
    SCOPED_TRACE(threads == convert::RunThreads::kOne ? "one thread" : "two threads");
    test::TempDrives drives;
    test::CopyTree("samples/boreholes/B-12", drives.c() / "DATA" / "B-12");
    test::CopyTree("samples/DOZORA", drives.d() / "DOZORA");
    source::PatternTables tables(u"D:\\DOZORA\\");
    test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\");
    ASSERT_EQ(convert::RunConversion(host, tables, nullptr, threads).outcome,
              convert::RunOutcome::kConverted);
    ExpectSameAsGolden(drives.d() / "B-12", test::RepositoryPath("tests/golden/sample/B-12"));
  }
}

}  // namespace
}  // namespace tjvx
