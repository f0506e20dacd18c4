#include "convert/run.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <string>
#include <thread>

#include "base/utf.h"
#include "platform/drives.h"
#include "tests/test_support.h"
#include "text/path_check.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;
using test::ScriptedRunHost;

class RunTest : public testing::Test, public test::SampleFolders {};

TEST_F(RunTest, ConvertsIntoAnExistingDestinationWithoutAsking) {
  fs::create_directories(drives_.d() / "OUT");
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  convert::RunResult result = Convert(host);
  ASSERT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
  EXPECT_EQ(result.converted_file, u"D:\\OUT\\B-12");
  EXPECT_TRUE(host.boxes.boxes.empty());
  EXPECT_EQ(host.status_history.front(), convert::kBusyText);
  EXPECT_EQ(host.status(), convert::kDoneText);
  EXPECT_EQ(host.pointers,
            (std::vector<int>{convert::kPointerHourglass, convert::kPointerDefault}));
  const std::vector<std::u16string> lines = test::ConvertedLines(drives_.d() / "OUT" / "B-12");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), u"GTJ Ge201");
  EXPECT_EQ(registry_.count(), 1);
  EXPECT_EQ(registry_.Site(1), u"B-12");
  EXPECT_EQ(registry_.current_folder(), u"D:\\OUT\\");
}

TEST_F(RunTest, ABadDestinationIsRefusedWithItsPathAsTitle) {
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\a*b");
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt, u"指定されたパスは正しくありません。");
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgExclamation);
  EXPECT_EQ(host.boxes.boxes[0].title, u"D:\\a*b");
  EXPECT_TRUE(host.destination_selected);
  EXPECT_EQ(host.status(), u"");
  EXPECT_TRUE(host.pointers.empty());
}

TEST_F(RunTest, ABadDriveShowsTheDriveMessageThenThePathMessage) {
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"OUT");
  Convert(host);
  ASSERT_EQ(host.boxes.boxes.size(), 2u);
  EXPECT_EQ(host.boxes.boxes[0].prompt, text::kDriveMessage);
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgInformation);
  EXPECT_EQ(host.boxes.boxes[1].prompt, convert::kBadPathMessage);
}

TEST_F(RunTest, BlankPathBoxesAreRefused) {
  ScriptedRunHost no_source(u"   ", u"D:\\OUT");
  EXPECT_EQ(Convert(no_source).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(no_source.boxes.boxes.size(), 1u);
  EXPECT_EQ(no_source.boxes.boxes[0].prompt, u"変換元ファイルが選択されていません。");
  EXPECT_EQ(no_source.boxes.boxes[0].style, base::kMsgOk);
  EXPECT_EQ(no_source.boxes.boxes[0].title, u"");
  EXPECT_EQ(no_source.status(), u"");

  // The path check passes a bare drive, so the blank test sees the box as the user left it.
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:");
  host.destination = u"D:";
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);  // D: itself is a destination
  EXPECT_TRUE(fs::exists(drives_.d() / "B-12"));
}

// A host whose destination box is emptied between the path check and the second reading.
class EmptiedDestinationHost : public test::ScriptedRunHost {
 public:
  EmptiedDestinationHost() : ScriptedRunHost(u"C:\\DATA\\B-12", u"D:\\OUT") {}
  std::u16string Destination() override { return reads_++ == 0 ? destination : u"  "; }

 private:
  int reads_ = 0;
};

TEST_F(RunTest, ADestinationEmptiedAfterTheCheckIsRefused) {
  EmptiedDestinationHost host;
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt, u"変換先フォルダが選択されていません。");
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgOk);
  EXPECT_EQ(host.status(), u"");
}

TEST_F(RunTest, AnsweringNoWritesNothing) {
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\NEW\\DEEP");
  host.boxes.answers = {base::kAnswerNo};
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt, u"フォルダがありません。新規作成しますか？");
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgYesNoQuestion);
  EXPECT_EQ(host.status(), u"");
  EXPECT_FALSE(fs::exists(drives_.d() / "NEW"));
}

TEST_F(RunTest, OneYesCreatesEveryMissingLevel) {
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"  D:\\NEW\\DEEP\\  ");
  host.boxes.answers = {base::kAnswerYes};
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);
  EXPECT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_TRUE(fs::is_regular_file(drives_.d() / "NEW" / "DEEP" / "B-12"));
  // The blanks around the box's text are not part of any folder name.
  EXPECT_EQ(std::distance(fs::directory_iterator(drives_.d()), {}), 2);
}

TEST_F(RunTest, AFolderBearingTheConvertedNameStopsTheRun) {
  fs::create_directories(drives_.d() / "OUT" / "B-12");
  fs::permissions(drives_.d() / "OUT" / "B-12", fs::perms::owner_write, fs::perm_options::remove);
  ScriptedRunHost host(u"C:\\DATA\\B-12\\", u"D:\\OUT");
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt,
            u"出力ファイルと同名のフォルダが存在する為に変換できません。");
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgOk);
  EXPECT_EQ(host.status(), u"");
}

TEST_F(RunTest, APlainFileOfTheConvertedNameIsOverwritten) {
  test::WriteBytes(drives_.d() / "OUT" / "B-12", "old");
  ScriptedRunHost host(u"C:\\DATA\\B-12\\", u"D:\\OUT");  // named after B-12, not ""
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);
  EXPECT_EQ(test::ConvertedLines(drives_.d() / "OUT" / "B-12").front(), u"GTJ Ge201");
  EXPECT_EQ(std::distance(fs::directory_iterator(drives_.d() / "OUT"), {}), 1);
}

TEST_F(RunTest, RefusesAMissingSourceADriveRootAndOverwritingAnInput) {
  fs::create_directories(drives_.d() / "OUT");
  ScriptedRunHost missing(u"C:\\DATA\\NONE", u"D:\\OUT");
  EXPECT_EQ(Convert(missing).outcome, convert::RunOutcome::kRefused);
  // The message names the folder, as a batch's summary does.
  EXPECT_EQ(missing.boxes.boxes.at(0).prompt,
            u"変換元フォルダが存在しない為に変換できません。\nC:\\DATA\\NONE");

  ScriptedRunHost root(u"C:\\", u"D:\\OUT");
  EXPECT_EQ(Convert(root).outcome, convert::RunOutcome::kRefused);
  EXPECT_EQ(root.boxes.boxes.at(0).prompt, convert::kSourceRootMessage);

  // A source folder named X1.TXT converted into itself would replace its own X1.TXT.
  fs::create_directories(drives_.c() / "X1.TXT");
  test::WriteBytes(drives_.c() / "X1.TXT" / "X1.TXT", "1,1.00,a,b\r\n");
  ScriptedRunHost itself(u"C:\\X1.TXT", u"C:\\X1.TXT");
  EXPECT_EQ(Convert(itself).outcome, convert::RunOutcome::kRefused);
  EXPECT_EQ(itself.boxes.boxes.at(0).prompt, convert::kOverwritesInputMessage);
  EXPECT_EQ(test::ReadBytes(drives_.c() / "X1.TXT" / "X1.TXT"), "1,1.00,a,b\r\n");
  EXPECT_FALSE(fs::exists(drives_.d() / "OUT" / "NONE"));
}

TEST_F(RunTest, TheSettingsFileIsNeverReplacedEvenWhenTheRunDidNotReadIt) {
  // The pattern folder is given (as by --pattern), yet the system folder's settings file is an
  // input of every later start: a source folder of its name is not converted over it.
  fs::create_directories(drives_.d() / "SYS");
  test::WriteBytes(drives_.d() / "SYS" / "DozoraV5.ini", "[DOZORA]\r\n\"D:\\DOZORA\\\"\r\n");
  test::SetEnvironment("TJVX_SYSDIR", drives_.d() / "SYS");
  test::CopyTree("samples/boreholes/B-12", drives_.c() / "DozoraV5.ini");
  ScriptedRunHost host(u"C:\\DozoraV5.ini", u"D:\\SYS");
  const convert::RunResult result = Convert(host);
  test::UnsetEnvironment("TJVX_SYSDIR");
  EXPECT_EQ(result.outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt, convert::kOverwritesInputMessage);
  EXPECT_EQ(test::ReadBytes(drives_.d() / "SYS" / "DozoraV5.ini"),
            "[DOZORA]\r\n\"D:\\DOZORA\\\"\r\n");
}

TEST_F(RunTest, ADestinationFromTheCommandLineIsCheckedAsGiven) {
  // "D:\OUT " is not trimmed into "D:\OUT": the blank is refused, as the path check refuses one.
  ScriptedRunHost blank_end(u"C:\\DATA\\B-12", u"D:\\OUT ");
  blank_end.as_given = true;
  EXPECT_EQ(Convert(blank_end).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(blank_end.boxes.boxes.size(), 1u);
  EXPECT_EQ(blank_end.boxes.boxes[0].prompt, u"指定されたパスは正しくありません。");
  // Empty or blank: what the window's blank box gets, the drive message and then the path's.
  for (std::u16string_view empty : {u"", u" ", u"   "}) {
    ScriptedRunHost host(u"C:\\DATA\\B-12", std::u16string(empty));
    host.as_given = true;
    EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
    ASSERT_EQ(host.boxes.boxes.size(), 2u);
    EXPECT_EQ(host.boxes.boxes[0].prompt, text::kDriveMessage);
    EXPECT_EQ(host.boxes.boxes[1].prompt, u"指定されたパスは正しくありません。");
  }
  EXPECT_FALSE(fs::exists(drives_.d() / "OUT"));
  // The window's box is trimmed as it always was.
  ScriptedRunHost window(u"C:\\DATA\\B-12", u"D:\\OUT ");
  window.boxes.answers = {base::kAnswerYes};
  EXPECT_EQ(Convert(window).outcome, convert::RunOutcome::kConverted);
  EXPECT_TRUE(fs::is_regular_file(drives_.d() / "OUT" / "B-12"));
}

TEST_F(RunTest, SlashesAndDotsNameWhatWindowsWouldNameAndNeverLeadOut) {
  // D:\OUT\DATA is where "DATA/B-12" taken as one name would lead.
  fs::create_directories(drives_.d() / "OUT" / "DATA");
  struct Case {
    std::u16string_view source, destination, converted;
  };
  const Case cases[] = {
      {u"C:/DATA/B-12", u"D:/OUT", u"D:\\OUT\\B-12"},
      {u"C:\\DATA/B-12", u"D:\\OUT", u"D:\\OUT\\B-12"},
      {u"C:\\DATA\\x\\a/../../B-12", u"D:\\OUT", u"D:\\OUT\\B-12"},
      {u"C:\\DATA\\B-12\\.", u"D:\\OUT\\.", u"D:\\OUT\\B-12"},
      {u"C:\\..\\..\\DATA\\B-12", u"D:\\..\\OUT", u"D:\\OUT\\B-12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.source) + " -> " + base::ToUtf8(c.destination));
    fs::remove(drives_.d() / "OUT" / "B-12");
    ScriptedRunHost host{std::u16string(c.source), std::u16string(c.destination)};
    host.as_given = true;
    const convert::RunResult result = Convert(host);
    ASSERT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
    EXPECT_EQ(result.converted_file, c.converted);
    // The file is in the destination itself, nothing under a name that held a separator.
    EXPECT_TRUE(fs::is_regular_file(drives_.d() / "OUT" / "B-12"));
    EXPECT_TRUE(fs::is_empty(drives_.d() / "OUT" / "DATA"));
  }
  // "C:\DATA\B-12\.." is C:\DATA, a folder of its own name.
  ScriptedRunHost up(u"C:\\DATA\\B-12\\..", u"D:\\OUT");
  up.as_given = true;
  EXPECT_EQ(Convert(up).converted_file, u"D:\\OUT\\DATA");
}

TEST_F(RunTest, ANewFileNeverShadowsAnInputOfAnotherLetterCase) {
  // The pattern folder's l8.txt is looked up as L8.TXT: a new L8.TXT beside it would be read in
  // its place on a system that tells letter cases apart.
  fs::rename(Pattern() / "L8.TXT", Pattern() / "l8.txt");
  const std::string l8 = test::ReadBytes(Pattern() / "l8.txt");
  test::CopyTree("samples/boreholes/B-12", drives_.c() / "L8.TXT");
  ScriptedRunHost table(u"C:\\L8.TXT", u"D:\\DOZORA");
  EXPECT_EQ(Convert(table).outcome, convert::RunOutcome::kRefused);
  ASSERT_EQ(table.boxes.boxes.size(), 1u);
  EXPECT_EQ(table.boxes.boxes[0].prompt, convert::kOverwritesInputMessage);
  EXPECT_EQ(test::ReadBytes(Pattern() / "l8.txt"), l8);
  if (!platform::kNamesIgnoreLetterCase) {
    EXPECT_FALSE(fs::exists(Pattern() / "L8.TXT"));
  }

  // The same for the settings file, in any letter case.
  fs::create_directories(drives_.d() / "SYS");
  test::WriteBytes(drives_.d() / "SYS" / "dozorav5.ini", "[DOZORA]\r\n");
  test::SetEnvironment("TJVX_SYSDIR", drives_.d() / "SYS");
  test::CopyTree("samples/boreholes/B-12", drives_.c() / "DOZORAV5.INI");
  ScriptedRunHost settings(u"C:\\DOZORAV5.INI", u"D:\\SYS");
  const convert::RunOutcome outcome = Convert(settings).outcome;
  test::UnsetEnvironment("TJVX_SYSDIR");
  EXPECT_EQ(outcome, convert::RunOutcome::kRefused);
  EXPECT_EQ(test::ReadBytes(drives_.d() / "SYS" / "dozorav5.ini"), "[DOZORA]\r\n");
  if (!platform::kNamesIgnoreLetterCase) {
    EXPECT_FALSE(fs::exists(drives_.d() / "SYS" / "DOZORAV5.INI"));
  }
}

#ifndef _WIN32
TEST_F(RunTest, OnlyARegularFileOrALinkIsReplaced) {
  fs::create_directories(drives_.d() / "OUT");
  const fs::path converted = drives_.d() / "OUT" / "B-12";
  auto refused = [&](const char* what) {
    SCOPED_TRACE(what);
    ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
    EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kRefused);
    ASSERT_EQ(host.boxes.boxes.size(), 1u);
    EXPECT_EQ(host.boxes.boxes[0].prompt,
              u"出力ファイルと同名の特殊ファイル (パイプ、ソケット、デバイス) が存在する為に変換"
              u"できません。");
  };
  ASSERT_EQ(mkfifo(converted.c_str(), 0600), 0);
  refused("FIFO");
  EXPECT_TRUE(fs::is_fifo(converted));
  fs::remove(converted);
  // A device node of its own (as /dev/null is): only root may make one.
  if (geteuid() == 0) {
    ASSERT_EQ(mknod(converted.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    refused("device");
    EXPECT_TRUE(fs::is_character_file(converted));
    fs::remove(converted);
  }
  // A link is replaced itself; the file it leads to is left as it was.
  test::WriteBytes(drives_.d() / "elsewhere", "kept");
  fs::create_symlink(drives_.d() / "elsewhere", converted);
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);
  EXPECT_FALSE(fs::is_symlink(converted));
  EXPECT_EQ(test::ReadBytes(drives_.d() / "elsewhere"), "kept");
  // A link to an input is refused, and the input kept.
  fs::remove(converted);
  fs::create_symlink(Source() / "X7.TXT", converted);
  const std::string x7 = test::ReadBytes(Source() / "X7.TXT");
  ScriptedRunHost to_input(u"C:\\DATA\\B-12", u"D:\\OUT");
  EXPECT_EQ(Convert(to_input).outcome, convert::RunOutcome::kRefused);
  EXPECT_EQ(test::ReadBytes(Source() / "X7.TXT"), x7);
}
#endif

TEST_F(RunTest, TheDestinationIsWrittenAsThePathCheckLeftIt) {
  // "D:OUT" passes the check as "D:\OUT\" and is walked and written so.
  ScriptedRunHost relative(u"C:\\DATA\\B-12", u"D:OUT");
  relative.boxes.answers = {base::kAnswerYes};
  convert::RunResult result = Convert(relative);
  ASSERT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
  EXPECT_EQ(result.converted_file, u"D:\\OUT\\B-12");
  EXPECT_TRUE(fs::is_regular_file(drives_.d() / "OUT" / "B-12"));
  // A drive's root, with or without its "\", gives the converted file's path with one "\".
  for (std::u16string_view root : {u"D:\\", u"D:", u" D:\\ "}) {
    ScriptedRunHost host(u"C:\\DATA\\B-12", std::u16string(root));
    result = Convert(host);
    ASSERT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
    EXPECT_EQ(result.converted_file, u"D:\\B-12");
  }
}

TEST_F(RunTest, ASourceFromTheCommandLineNamesExactlyTheFolderGiven) {
  // "B-12 " beside "B-12": the window trims its box, the command line takes the name as given.
  // (Windows can make no folder "B-12 "; there the name is only refused.)
  if (!platform::kNamesLoseTrailingBlanksAndDots) {
    test::CopyTree("samples/boreholes/B-12", drives_.c() / "DATA" / "B-12 ");
    test::WriteBytes(drives_.c() / "DATA" / "B-12 " / "X1.TXT", "1,2.50,\"blank\",\"\"\r\n");
  }
  fs::create_directories(drives_.d() / "OUT");
  ScriptedRunHost given(u"C:\\DATA\\B-12 ", u"D:\\OUT");
  given.as_given = true;
  const convert::RunResult result = Convert(given);
  if (platform::kNamesLoseTrailingBlanksAndDots) {
    // Windows would read "B-12 " as "B-12": the name is refused, and named.
    EXPECT_EQ(result.outcome, convert::RunOutcome::kRefused);
    ASSERT_EQ(given.boxes.boxes.size(), 1u);
    EXPECT_EQ(given.boxes.boxes[0].prompt,
              std::u16string(convert::kSourceNameEndMessage) + u"\nC:\\DATA\\B-12 ");
    EXPECT_FALSE(fs::exists(drives_.d() / "OUT" / "B-12"));
  } else {
    ASSERT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
    EXPECT_EQ(result.converted_file, u"D:\\OUT\\B-12 ");
    EXPECT_FALSE(fs::exists(drives_.d() / "OUT" / "B-12"));
    const std::string converted = test::ReadBytes(drives_.d() / "OUT" / "B-12 ");
    EXPECT_NE(converted.find("2000 2.50 blank"), std::string::npos);
  }
  ScriptedRunHost window(u"C:\\DATA\\B-12 ", u"D:\\OUT");
  ASSERT_EQ(Convert(window).outcome, convert::RunOutcome::kConverted);
  EXPECT_TRUE(fs::exists(drives_.d() / "OUT" / "B-12"));
}

TEST_F(RunTest, TwoRunsCreatingTheSameMissingDestinationBothSucceed) {
  // A folder there already, as when another run made it a moment before, counts as made.
  fs::create_directories(drives_.d() / "MADE");
  EXPECT_TRUE(platform::CreateFolder(u"D:\\MADE"));
  EXPECT_FALSE(platform::CreateFolder(u"D:\\NO\\SUCH\\PARENT"));
  test::CopyTree("samples/boreholes/B-12", drives_.c() / "DATA" / "B-13");
  for (int pair = 0; pair < 20; ++pair) {
    const std::u16string destination =
        u"D:\\NEW" + base::FromAscii(std::to_string(pair)) + u"\\A\\B";
    convert::RunResult results[2];
    std::thread other([&] {
      ScriptedRunHost host(u"C:\\DATA\\B-13", destination);
      host.boxes.answers = {base::kAnswerYes};
      results[1] = convert::RunConversion(host, tables_, nullptr, convert::RunThreads::kOne);
    });
    ScriptedRunHost host(u"C:\\DATA\\B-12", destination);
    host.boxes.answers = {base::kAnswerYes};
    results[0] = convert::RunConversion(host, tables_, nullptr, convert::RunThreads::kOne);
    other.join();
    for (const convert::RunResult& result : results) {
      EXPECT_EQ(result.outcome, convert::RunOutcome::kConverted)
          << "pair " << pair << ": " << base::ToUtf8(result.message);
    }
  }
}

TEST_F(RunTest, TheSourceFolderIsOnlyRead) {
  fs::remove(Source() / "X1.TXT");
  test::WriteBytes(Source() / "MARGE.DAT", "the user's own file");
  auto before = test::Snapshot(drives_.c());
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  host.boxes.answers = {base::kAnswerYes};
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);
  EXPECT_EQ(test::Snapshot(drives_.c()), before);
}

TEST_F(RunTest, AFailureMidRunKeepsTheEarlierFileAndLeavesNoPartialFile) {
  fs::create_directories(drives_.d() / "OUT");
  test::WriteBytes(drives_.d() / "OUT" / "B-12", "earlier conversion");
  fs::remove(drives_.d() / "DOZORA" / "L19.TXT");
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  convert::RunResult result = Convert(host);
  EXPECT_EQ(result.outcome, convert::RunOutcome::kFailed);
  ASSERT_EQ(host.boxes.boxes.size(), 1u);
  EXPECT_EQ(host.boxes.boxes[0].prompt,
            u"ファイルが見つからない為に変換できません。\nD:\\DOZORA\\L19.TXT");
  EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgExclamation);
  EXPECT_EQ(host.status(), u"");
  EXPECT_EQ(host.pointers.back(), convert::kPointerDefault);
  EXPECT_EQ(test::ReadBytes(drives_.d() / "OUT" / "B-12"), "earlier conversion");
  EXPECT_EQ(std::distance(fs::directory_iterator(drives_.d() / "OUT"), {}), 1);
}

TEST_F(RunTest, ARecordCutShortNamesTheFileAndLine) {
  fs::create_directories(drives_.d() / "OUT");
  test::WriteBytes(Source() / "N9.TXT", "1,2004/08/05,2.10\r\n2,2004/08/09\r\n");
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kFailed);
  EXPECT_EQ(host.boxes.boxes.at(0).prompt,
            u"ファイルがレコードの途中で終わっている為に変換できません。\n"
            u"C:\\DATA\\B-12\\N9.TXT\n(2 行目)");
  EXPECT_FALSE(fs::exists(drives_.d() / "OUT" / "B-12"));
}

TEST_F(RunTest, ADestinationLevelThatCannotBeCreatedEndsTheRunWithAMessage) {
#ifdef _WIN32
  GTEST_SKIP() << "a read-only folder on Windows still takes new folders";
#else
  if (geteuid() == 0) GTEST_SKIP() << "root may create folders anywhere";
#endif
  fs::create_directories(drives_.d() / "LOCKED");
  fs::permissions(drives_.d() / "LOCKED", fs::perms::owner_write, fs::perm_options::remove);
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\LOCKED\\OUT");
  host.boxes.answers = {base::kAnswerYes};
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kFailed);
  EXPECT_EQ(host.boxes.boxes.at(1).prompt,
            u"フォルダを作成できない為に変換できません。\nD:\\LOCKED\\OUT");
}

TEST_F(RunTest, NeedsNoTableThatNoLookupUses) {
  // A borehole with only site records needs the geology tables and L1.TXT, nothing else.
  for (const char* name : {"L4.TXT", "L8.TXT", "L13.TXT", "L18.TXT", "L19.TXT"}) {
    fs::remove(drives_.d() / "DOZORA" / name);
  }
  fs::create_directories(drives_.c() / "ONLY");
  test::WriteBytes(drives_.c() / "ONLY" / "X1.TXT", "1,1.00,a,b\r\n");
  ScriptedRunHost host(u"C:\\ONLY", u"D:\\");
  EXPECT_EQ(Convert(host).outcome, convert::RunOutcome::kConverted);
  std::vector<std::u16string> lines = test::ConvertedLines(drives_.d() / "ONLY");
  EXPECT_EQ(lines.size(), 1u + 19u + 2u);
  EXPECT_EQ(lines[20], u"2000 1.00 a_b @ 1");
  EXPECT_EQ(lines[21], u"2001 1.00 @ @ @ @ @ @ @ -1 0");
}

}  // namespace
}  // namespace tjvx
