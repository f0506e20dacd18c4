// Faults and bad input: every run that cannot finish ends with one clear message, leaves no
// partial converted file and keeps an earlier converted file of the same name byte for byte.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <future>
#include <string>

#include "base/utf.h"
#include "convert/run.h"
#include "tests/test_support.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tjvx {
namespace {

namespace fs = std::filesystem;
using test::ScriptedRunHost;

constexpr std::string_view kEarlier = "an earlier conversion\r\n";
constexpr std::u16string_view kWriteFailed =
    u"ファイルに書き込めない為に変換できません。\nD:\\OUT\\B-12";

// The sample borehole at C:\DATA\B-12, the sample pattern folder at D:\DOZORA and an earlier
// converted file at D:\OUT\B-12.
class FaultTest : public testing::Test, public test::SampleFolders {
 protected:
  FaultTest() { test::WriteBytes(Out() / "B-12", kEarlier); }

  fs::path Out() const { return drives_.d() / "OUT"; }

  // Runs the conversion and checks what every failed run must leave: the outcome, one message box
  // with the exclamation icon, and `folder` holding nothing but the earlier converted file.
  void ExpectFailure(ScriptedRunHost& host, std::u16string_view message, const fs::path& folder,
                     convert::RunThreads threads = convert::RunThreads::kTwo) {
    convert::RunResult result = convert::RunConversion(host, tables_, nullptr, threads);
    EXPECT_EQ(result.outcome, convert::RunOutcome::kFailed);
    EXPECT_EQ(result.message, message);
    ASSERT_EQ(host.boxes.boxes.size(), 1u);
    EXPECT_EQ(host.boxes.boxes[0].prompt, message);
    EXPECT_EQ(host.boxes.boxes[0].style, base::kMsgExclamation);
    EXPECT_EQ(host.status(), u"");
    EXPECT_EQ(host.pointers.back(), convert::kPointerDefault);
    ASSERT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(test::Snapshot(folder),
              (std::vector<std::pair<std::string, std::string>>{{"B-12", std::string(kEarlier)}}));
  }

  // The same failure whether the run has one thread or two.
  void ExpectFailure(std::u16string_view message) {
    for (convert::RunThreads threads : {convert::RunThreads::kOne, convert::RunThreads::kTwo}) {
      SCOPED_TRACE(threads == convert::RunThreads::kOne ? "one thread" : "two threads");
      ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
      ExpectFailure(host, message, Out(), threads);
    }
  }
};

// One bad input: how it is made in the fixture's folders, and the message the run ends with.
struct BadInput {
  const char* name;
  std::function<void(const fs::path& source, const fs::path& pattern)> make;
  std::u16string message;
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

class BadInputTest : public FaultTest, public testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, EndsTheRunWithItsMessageAndKeepsTheEarlierFile) {
  GetParam().make(Source(), Pattern());
  ExpectFailure(GetParam().message);
}

std::string Items(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "\"" + std::to_string(i) + "\"" + (i % 4 ? "," : "\r\n");
  return text;
}

const BadInput kBadInputs[] = {
    {"SourceFileIsAFolder",
     [](const fs::path& source, const fs::path&) {
       fs::remove(source / "X7.TXT");
       fs::create_directory(source / "X7.TXT");
     },
     u"ファイルの代わりにフォルダがある為に変換できません。\nC:\\DATA\\B-12\\X7.TXT"},
    {"TitleFileIsAFolder",
     [](const fs::path& source, const fs::path&) {
       fs::remove(source / "Titl02.txt");
       fs::create_directory(source / "Titl02.txt");
     },
     u"ファイルの代わりにフォルダがある為に変換できません。\nC:\\DATA\\B-12\\Titl02.txt"},
    {"TableIsAFolder",
     [](const fs::path&, const fs::path& pattern) {
       fs::remove(pattern / "L8.TXT");
       fs::create_directory(pattern / "L8.TXT");
     },
     u"ファイルの代わりにフォルダがある為に変換できません。\nD:\\DOZORA\\L8.TXT"},
    {"GeologyTableMissing",
     [](const fs::path&, const fs::path& pattern) { fs::remove(pattern / "SHITU.TXT"); },
     u"ファイルが見つからない為に変換できません。\nD:\\DOZORA\\SHITU.TXT"},
    {"CodeTableMissing",
     [](const fs::path&, const fs::path& pattern) { fs::remove(pattern / "L8.TXT"); },
     u"ファイルが見つからない為に変換できません。\nD:\\DOZORA\\L8.TXT"},
    {"SourceRecordCutShort",
     [](const fs::path& source, const fs::path&) {
       test::WriteBytes(source / "X5.TXT",
                        "1,1.15,5,63.5,\"\",1,10,2,10,2,10\r\n2,2.15,3,63.5,\"\",1,10\r\n");
     },
     u"ファイルがレコードの途中で終わっている為に変換できません。\nC:\\DATA\\B-12\\X5.TXT\n(2 "
     u"行目)"},
    {"RecordCutShortAcrossLines",
     [](const fs::path& source, const fs::path&) {
       // A record may span lines; the message names the line where it begins.
       test::WriteBytes(source / "G72.TXT", "1,2.00,\r\n\r\n3,\r\n");
     },
     u"ファイルがレコードの途中で終わっている為に変換できません。\nC:\\DATA\\B-12\\G72.TXT\n(1 "
     u"行目)"},
    {"TableRecordCutShort",
     [](const fs::path&, const fs::path& pattern) {
       test::WriteBytes(pattern / "L8.TXT", "1,\"a\",\"P001\"\r\n2,\"b\"\r\n");
     },
     u"ファイルがレコードの途中で終わっている為に変換できません。\nD:\\DOZORA\\L8.TXT\n(2 行目)"},
    {"Title01WithMoreThan23Items",
     [](const fs::path& source, const fs::path&) {
       test::WriteBytes(source / "Titl01.txt", Items(24));
     },
     u"ファイルの値が範囲を超えている為に変換できません。\nC:\\DATA\\B-12\\Titl01.txt\n(6 "
     u"行目)\n項目が多すぎます (最大 23 項目)"},
    {"Title02WithMoreThan41Items",
     [](const fs::path& source, const fs::path&) {
       test::WriteBytes(source / "Titl02.txt", Items(42));
     },
     u"ファイルの値が範囲を超えている為に変換できません。\nC:\\DATA\\B-12\\Titl02.txt\n(11 "
     u"行目)\n項目が多すぎます (最大 41 項目)"},
    {"SourceByteNotCp932",
     [](const fs::path& source, const fs::path&) {
       test::WriteBytes(source / "N9.TXT", "1,\"2004/08/05\",2.10\r\n2,\"2004/\xFF\",2.35\r\n");
     },
     u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nC:\\DATA\\B-12\\N9.TXT\n(2 "
     u"行目、バイト位置 29)"},
    {"SourceLeadByteWithoutTrailByte",
     [](const fs::path& source, const fs::path&) {
       // 0x82 starts a two-byte character; 0x0D cannot end one.
       test::WriteBytes(source / "X12.TXT", "1,1.00,\"\x82\xA0\x82\r\n");
     },
     u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nC:\\DATA\\B-12\\X12.TXT\n(1 "
     u"行目、バイト位置 10)"},
    {"TableByteNotCp932AtTheEnd",
     [](const fs::path&, const fs::path& pattern) {
       test::WriteBytes(pattern / "KISHITU.TXT", "1,\"a\",0,0,0,0\r\n\x81");
     },
     u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nD:\\DOZORA\\KISHITU.TXT\n(2 "
     u"行目、バイト位置 15)"},
};

INSTANTIATE_TEST_SUITE_P(Faults, BadInputTest, testing::ValuesIn(kBadInputs),
                         [](const testing::TestParamInfo<BadInput>& info) {
                           return std::string(info.param.name);
                         });

#ifndef _WIN32
constexpr std::u16string_view kCannotBeRead = u"ファイルを読み込めない為に変換できません。\n";

// Runs `run` and tells whether it ended without blocking on the FIFO at `fifo`. A run still going
// after ten seconds is taken as blocked there: a writer then opens and closes the FIFO until the
// run ends, so a run that would hang fails the test instead.
bool EndsWithoutBlockingOn(const fs::path& fifo, const std::function<void()>& run) {
  std::future<void> done = std::async(std::launch::async, run);
  if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
    done.get();
    return true;
  }
  do {
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) close(fd);
  } while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
  done.get();
  return false;
}
#endif

TEST_F(FaultTest, AFifoInPlaceOfASourceFileEndsTheRunAtOnce) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs in folders";
#else
  // X1.TXT is read for the depth list, before anything is written.
  fs::remove(Source() / "X1.TXT");
  ASSERT_EQ(mkfifo((Source() / "X1.TXT").c_str(), 0600), 0);
  EXPECT_TRUE(EndsWithoutBlockingOn(Source() / "X1.TXT", [&] {
    ExpectFailure(std::u16string(kCannotBeRead) + u"C:\\DATA\\B-12\\X1.TXT");
  }));
  // G72.TXT, the last group, found under another letter case.
  fs::remove(Source() / "X1.TXT");
  fs::remove(Source() / "G72.TXT");
  ASSERT_EQ(mkfifo((Source() / "g72.txt").c_str(), 0600), 0);
  EXPECT_TRUE(EndsWithoutBlockingOn(Source() / "g72.txt", [&] {
    ExpectFailure(std::u16string(kCannotBeRead) + u"C:\\DATA\\B-12\\G72.TXT");
  }));
#endif
}

TEST_F(FaultTest, ADeviceInPlaceOfASourceFileCannotBeRead) {
#ifdef _WIN32
  GTEST_SKIP() << "a device cannot be linked into a folder on Windows";
#else
  fs::remove(Source() / "X5.TXT");
  fs::create_symlink("/dev/null", Source() / "X5.TXT");
  ExpectFailure(std::u16string(kCannotBeRead) + u"C:\\DATA\\B-12\\X5.TXT");
#endif
}

TEST_F(FaultTest, ASymlinkLoopInPlaceOfASourceFileCannotBeRead) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
  // A name that is there but leads nowhere is no missing file: its section is not left out.
  fs::remove(Source() / "X7.TXT");
  fs::create_symlink("X7.TXT", Source() / "X7.TXT");
  ExpectFailure(std::u16string(kCannotBeRead) + u"C:\\DATA\\B-12\\X7.TXT");
#endif
}

// With two threads the later groups are made while the notes are, yet the failure reported is the
// one a single thread meets first in the file's order.
TEST_F(FaultTest, TheFirstFailureInTheFilesOrderIsTheOneReported) {
  const std::u16string x12 =
      u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nC:\\DATA\\B-12\\X12.TXT\n(1 "
      u"行目、バイト位置 8)";
  const std::u16string n9 =
      u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nC:\\DATA\\B-12\\N9.TXT\n(1 "
      u"行目、バイト位置 3)";
  // A note (before 3000) and the last group, 5010.
  test::WriteBytes(Source() / "X12.TXT", "1,1.00,\"\xFF\"\r\n");
  test::WriteBytes(Source() / "G72.TXT", "\xFF");
  ExpectFailure(x12);
  // Two of the later groups, 3020 and 4000; the notes are sound again.
  fs::remove(Source() / "X12.TXT");
  fs::remove(Source() / "G72.TXT");
  test::WriteBytes(Source() / "N9.TXT", "1,\"\xFF\"\r\n");
  test::WriteBytes(Source() / "X5.TXT", "1,1.15,5\r\n");
  ExpectFailure(n9);
  // X1.TXT, read for the depth list after R30.TXT but before it is handed to the 3070 records.
  // With a long X3.TXT read first for the depth list, the other thread comes to the 3070 records
  // (from the last group back, or from the first when those before 3070 are missing) and waits
  // there for R30.TXT; the run still ends, naming X1.TXT.
  for (const char* name : {"R41.TXT", "N9.TXT", "X7.TXT", "G40.TXT"}) fs::remove(Source() / name);
  std::string long_x3;
  for (int i = 1; i <= 50000; ++i) long_x3 += std::to_string(i) + ",0.05,0103,0,,0,0\r\n";
  test::WriteBytes(Source() / "X3.TXT", long_x3);
  test::WriteBytes(Source() / "X1.TXT", "1,\"\xFF\"\r\n");
  ExpectFailure(
      u"ファイルに Shift-JIS でないバイトがある為に変換できません。\nC:\\DATA\\B-12\\X1.TXT\n(1 "
      u"行目、バイト位置 3)");
}

TEST_F(FaultTest, TitleFilesFilledToTheirListsStillConvert) {
  test::WriteBytes(Source() / "Titl01.txt", Items(23));
  test::WriteBytes(Source() / "Titl02.txt", Items(41) + "\r\n\r\n");
  ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
  EXPECT_EQ(convert::RunConversion(host, tables_, nullptr).outcome,
            convert::RunOutcome::kConverted);
  EXPECT_TRUE(host.boxes.boxes.empty());
}

#ifndef _WIN32

TEST_F(FaultTest, ASourceFolderThatCannotBeListedIsOneRefusalNamingTheFolder) {
  // Root lists any folder, so the run goes in a child that first becomes an unprivileged user.
  fs::permissions(Source(), fs::perms::none);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
    const convert::RunResult result =
        convert::RunConversion(host, tables_, nullptr, convert::RunThreads::kOne);
    const bool as_expected =
        result.outcome == convert::RunOutcome::kRefused && host.boxes.boxes.size() == 1 &&
        result.message == u"変換元フォルダを読み込めない為に変換できません。\nC:\\DATA\\B-12";
    if (!as_expected) std::fprintf(stderr, "%s\n", base::ToUtf8(result.message).c_str());
    _exit(as_expected ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  fs::permissions(Source(), fs::perms::owner_all);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 3) << "could not become an unprivileged user";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(test::ReadBytes(Out() / "B-12"), kEarlier);
}

TEST_F(FaultTest, ADestinationFolderThatCannotBeWrittenEndsTheRun) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder; see the next test";
  fs::permissions(Out(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ExpectFailure(kWriteFailed);
}

// A host that moves the destination folder away the moment the run starts converting, as when a
// network share drops or a user deletes the folder mid-run.
class FolderTakingHost : public ScriptedRunHost {
 public:
  FolderTakingHost(fs::path folder, fs::path moved_to)
      : ScriptedRunHost(u"C:\\DATA\\B-12", u"D:\\OUT"),
        folder_(std::move(folder)),
        moved_to_(std::move(moved_to)) {}
  void SetPointer(int pointer) override {
    ScriptedRunHost::SetPointer(pointer);
    if (pointer == convert::kPointerHourglass) fs::rename(folder_, moved_to_);
  }

 private:
  fs::path folder_, moved_to_;
};

TEST_F(FaultTest, ADestinationFolderRemovedMidRunEndsTheRun) {
  const fs::path moved = drives_.d() / "MOVED";
  FolderTakingHost host(Out(), moved);
  ExpectFailure(host, kWriteFailed, moved);
  EXPECT_FALSE(fs::exists(Out())) << "the run must not make the folder again";
}

// A file size limit stands in for a full disk: writes beyond it fail with EFBIG instead of
// raising SIGXFSZ. Both are put back when the scope ends.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
};

TEST_F(FaultTest, AFullDiskAtTheLastWriteEndsTheRun) {
  FileSizeLimit limit(1000);  // the sample's converted file is over 3,000 bytes
  ExpectFailure(kWriteFailed);
}

TEST_F(FaultTest, AFullDiskMidRunEndsTheRun) {
  // Enough interval tests for the converted file to be written in several pieces before the end.
  std::string x5;
  for (int i = 1; i <= 40000; ++i) {
    x5 += std::to_string(i) + "," + std::to_string(i) + ".15,5,63.5,\"\",1,10,2,10,2,10\r\n";
  }
  test::WriteBytes(Source() / "X5.TXT", x5);
  FileSizeLimit limit(300000);
  ExpectFailure(kWriteFailed);
}

#endif  // _WIN32

}  // namespace
}  // namespace tjvx
