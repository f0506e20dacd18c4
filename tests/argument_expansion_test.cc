// The expansion of "*" and "?" in the command line's SOURCE and FILE arguments, switched on here
// whatever the system, over folders made on the temporary drive C:.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/utf.h"
#include "cli/wildcards.h"
#include "tests/test_support.h"

namespace tjvx::cli {
namespace {

namespace fs = std::filesystem;

class ArgumentExpansionTest : public testing::Test {
 protected:
  ArgumentExpansionTest() {
    for (const char* name :
         {"B-10", "B-2", "C-1", "B-1", "b-3", "B 1", "ボーリング10", "ボーリング2", "現場A"}) {
      fs::create_directories(Site() / fs::path(reinterpret_cast<const char8_t*>(name)));
    }
    // Files beside the folders: a converted file, its drawing and a file whose name a folder
    // pattern matches.
    test::WriteBytes(Site() / "B-4", "1000,\r\n");
    test::WriteBytes(Site() / "B-4.svg", "<svg/>");
    test::WriteBytes(Site() / "B-12", "1000,\r\n");
  }
  fs::path Site() const { return drives_.c() / "SITE"; }

  // The paths of an expansion, with "!" and the refusal in place of a refused pattern.
  static std::vector<std::string> Expand(const std::vector<std::string>& arguments, Wanted wanted,
                                         bool expand = true, const std::string& destination = {}) {
    std::vector<std::string> paths;
    for (const ExpandedArgument& argument :
         ExpandWildcards(arguments, wanted, expand, destination)) {
      paths.push_back(argument.refusal ? "!" + base::ToUtf8(*argument.refusal) : argument.path);
    }
    return paths;
  }

  test::TempDrives drives_;
};

TEST_F(ArgumentExpansionTest, APatternGivesTheMatchingFoldersInNaturalOrderInAnyLetterCase) {
  EXPECT_EQ(Expand({"C:\\SITE\\B-*"}, Wanted::kFolders),
            (std::vector<std::string>{"C:\\SITE\\B-1", "C:\\SITE\\B-2", "C:\\SITE\\b-3",
                                      "C:\\SITE\\B-10"}));
  EXPECT_EQ(Expand({"C:/SITE/b-?"}, Wanted::kFolders),
            (std::vector<std::string>{"C:/SITE/B-1", "C:/SITE/B-2", "C:/SITE/b-3"}));
  EXPECT_EQ(
      Expand({"C:\\SITE\\*"}, Wanted::kFolders),
      (std::vector<std::string>{"C:\\SITE\\B 1", "C:\\SITE\\B-1", "C:\\SITE\\B-2", "C:\\SITE\\b-3",
                                "C:\\SITE\\B-10", "C:\\SITE\\C-1", "C:\\SITE\\ボーリング2",
                                "C:\\SITE\\ボーリング10", "C:\\SITE\\現場A"}));
  EXPECT_EQ(Expand({"C:\\SITE\\*.*"}, Wanted::kFolders),
            Expand({"C:\\SITE\\**"}, Wanted::kFolders));
}

TEST_F(ArgumentExpansionTest, JapaneseNamesAndBlanksComeThroughWhole) {
  EXPECT_EQ(Expand({"C:\\SITE\\ボーリング*"}, Wanted::kFolders),
            (std::vector<std::string>{"C:\\SITE\\ボーリング2", "C:\\SITE\\ボーリング10"}));
  EXPECT_EQ(Expand({"C:\\SITE\\現場?"}, Wanted::kFolders),
            (std::vector<std::string>{"C:\\SITE\\現場A"}));
  EXPECT_EQ(Expand({"C:\\SITE\\B *"}, Wanted::kFolders),
            (std::vector<std::string>{"C:\\SITE\\B 1"}));
}

TEST_F(ArgumentExpansionTest, EachArgumentKeepsItsPlaceAndOnlyPatternsAreExpanded) {
  EXPECT_EQ(
      Expand({"C:\\SITE\\C-1", "C:\\SITE\\B-?", "C:\\NONE", "C:\\SITE\\C-*"}, Wanted::kFolders),
      (std::vector<std::string>{"C:\\SITE\\C-1", "C:\\SITE\\B-1", "C:\\SITE\\B-2", "C:\\SITE\\b-3",
                                "C:\\NONE", "C:\\SITE\\C-1"}));
}

TEST_F(ArgumentExpansionTest, APatternThatMatchesNothingIsRefusedNamingIt) {
  EXPECT_EQ(Expand({"C:\\SITE\\X-*", "C:\\SITE\\C-1"}, Wanted::kFolders),
            (std::vector<std::string>{"!一致するフォルダがありません。\nC:\\SITE\\X-*",
                                      "C:\\SITE\\C-1"}));
  // Only files match "B-4*" and "B-12*", where folders are wanted.
  EXPECT_EQ(Expand({"C:\\SITE\\B-4*", "C:\\SITE\\B-12*"}, Wanted::kFolders),
            (std::vector<std::string>{"!一致するフォルダがありません。\nC:\\SITE\\B-4*",
                                      "!一致するフォルダがありません。\nC:\\SITE\\B-12*"}));
  // A wildcard before the last name, and a folder that is not there.
  EXPECT_EQ(
      Expand({"C:\\SI*\\B-1", "C:\\S?TE\\B-*", "C:\\NONE\\*", "C:\\SITE\\B-*\\"}, Wanted::kFolders),
      (std::vector<std::string>{"!一致するフォルダがありません。\nC:\\SI*\\B-1",
                                "!一致するフォルダがありません。\nC:\\S?TE\\B-*",
                                "!一致するフォルダがありません。\nC:\\NONE\\*",
                                "!一致するフォルダがありません。\nC:\\SITE\\B-*\\"}));
}

TEST_F(ArgumentExpansionTest, FilePatternsGiveTheConvertedFilesAlone) {
  EXPECT_EQ(Expand({"C:\\SITE\\B-*"}, Wanted::kFiles),
            (std::vector<std::string>{"C:\\SITE\\B-4", "C:\\SITE\\B-12"}));
  EXPECT_EQ(Expand({"C:\\SITE\\C-*"}, Wanted::kFiles),
            (std::vector<std::string>{"!一致するファイルがありません。\nC:\\SITE\\C-*"}));
}

TEST_F(ArgumentExpansionTest, TheDestinationIsNotTakenForASourceFolder) {
  // However the destination is written, the folder it names is left out of what a pattern gives.
  const std::vector<std::string> without_b2 = {"C:\\SITE\\B-1", "C:\\SITE\\b-3",
                                               "C:\\SITE\\B-10"};
  for (const std::string destination :
       {"C:\\SITE\\B-2", "c:\\site\\b-2\\", "C:/SITE/B-2/", "C:\\SITE\\x\\..\\.\\B-2"}) {
    EXPECT_EQ(Expand({"C:\\SITE\\B-*"}, Wanted::kFolders, true, destination), without_b2)
        << destination;
  }
  // A folder the user names is the user's choice; only what a pattern matched is left out.
  EXPECT_EQ(Expand({"C:\\SITE\\B-2"}, Wanted::kFolders, true, "C:\\SITE\\B-2"),
            (std::vector<std::string>{"C:\\SITE\\B-2"}));
  // Another folder of the same name elsewhere, or a name that only begins the same, stays.
  EXPECT_EQ(Expand({"C:\\SITE\\B-1*"}, Wanted::kFolders, true, "C:\\B-1").size(), 2u);
  EXPECT_EQ(Expand({"C:\\SITE\\B-1*"}, Wanted::kFolders, true, "C:\\SITE\\B-").size(), 2u);
  // A pattern that matched the destination alone matches nothing.
  EXPECT_EQ(Expand({"C:\\SITE\\C-?"}, Wanted::kFolders, true, "C:\\SITE\\C-1"),
            (std::vector<std::string>{"!一致するフォルダがありません。\nC:\\SITE\\C-?"}));
}

TEST_F(ArgumentExpansionTest, WithoutTheSwitchEveryArgumentStaysAsGiven) {
  const std::vector<std::string> arguments = {"C:\\SITE\\B-*", "C:\\SITE\\X-?", "C:\\SI*\\B-1"};
  EXPECT_EQ(Expand(arguments, Wanted::kFolders, false), arguments);
  EXPECT_EQ(Expand(arguments, Wanted::kFiles, false), arguments);
}

}  // namespace
}  // namespace tjvx::cli
