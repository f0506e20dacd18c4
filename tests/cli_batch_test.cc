// The command line's batch mode, run as the tjvx program: parallel runs write what sequential ones
// write, one borehole's failure stops no other, and the summary names every run that did not
// convert.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kUnderSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif
#else
constexpr bool kUnderSanitizer = false;
#endif

class CliBatchTest : public testing::Test {
 protected:
  CliBatchTest() {
    base_ = fs::temp_directory_path() /
            ("tjvx-cli-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "-" +
             std::to_string(getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_);
  }
  ~CliBatchTest() override { fs::remove_all(base_); }

  // Runs `tjvx SUBCOMMAND ARGS`; keeps its output and error and returns its exit status.
  int Run(const std::string& subcommand, const std::string& args) {
    const std::string command = std::string(TJVX_PROGRAM) + " " + subcommand + " " + args + " > " +
                                (base_ / "out.txt").string() + " 2> " +
                                (base_ / "err.txt").string();
    const int status = std::system(command.c_str());
    out_ = test::ReadBytes(base_ / "out.txt");
    err_ = test::ReadBytes(base_ / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string SamplePattern() const {
    return " --pattern " + test::RepositoryPath("samples/DOZORA").string();
  }

  // `tjvx convert ARGS` with the sample pattern folder, creating the destination.
  int Convert(const std::string& args) { return Run("convert", args + SamplePattern() + " --yes"); }

  // `tjvx check ARGS` with the sample pattern folder.
  int Check(const std::string& args) { return Run("check", args + SamplePattern()); }

  // A copy of the sample borehole named `name`.
  std::string Borehole(const std::string& name) {
    test::CopyTree("samples/boreholes/B-12", base_ / "src" / name);
    return (base_ / "src" / name).string();
  }

  fs::path base_;
  std::string out_, err_;
};

TEST_F(CliBatchTest, ConvertsEveryGoodBoreholeAndSummarisesTheOthers) {
  const std::string bad = Borehole("B3");
  test::WriteBytes(fs::path(bad) / "N9.TXT", "1,\"\xFF\",2.10\r\n");
  const std::string args = Borehole("B1") + " " + Borehole("B2") + " " + bad + " " +
                           (base_ / "src" / "NONE").string() + " " + Borehole("B4") + " " +
                           (base_ / "out").string() + " --jobs 3";
  EXPECT_EQ(Convert(args), 1);

  const std::string golden = test::ReadBytes(test::RepositoryPath("tests/golden/sample/B-12"));
  for (const char* name : {"B1", "B2", "B4"}) {
    EXPECT_EQ(test::ReadBytes(base_ / "out" / name), golden) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(base_ / "out"), {}), 3);
  EXPECT_NE(err_.find("tjvx: 3 converted, 1 refused, 1 failed\n"), std::string::npos) << err_;
  EXPECT_NE(err_.find("tjvx: failed: " + bad +
                      ": ファイルに Shift-JIS でないバイトがある為に変換できません。\n"),
            std::string::npos)
      << err_;
  EXPECT_NE(err_.find("tjvx: refused: " + (base_ / "src" / "NONE").string() +
                      ": 変換元フォルダが存在しない為に変換できません。\n"),
            std::string::npos)
      << err_;
  // The destination was asked about once, by the first run, before the others started.
  EXPECT_EQ(err_.find("新規作成しますか"), err_.rfind("新規作成しますか")) << err_;
}

// Here the shell expands patterns: a "*" that reaches the program is a character of a name.
TEST_F(CliBatchTest, APatternThatReachesTheProgramNamesTheFolderOfThatName) {
  Borehole("B-1");
  Borehole("B-*");
  EXPECT_EQ(Convert("'" + (base_ / "src" / "B-*").string() + "' " + (base_ / "out").string()), 0)
      << err_;
  EXPECT_TRUE(fs::exists(base_ / "out" / "B-*"));
  EXPECT_FALSE(fs::exists(base_ / "out" / "B-1"));
  EXPECT_EQ(Convert("'" + (base_ / "src" / "X-*").string() + "' " + (base_ / "out").string()), 1);
  EXPECT_NE(err_.find("変換元フォルダが存在しない為に変換できません。"), std::string::npos) << err_;
}

TEST_F(CliBatchTest, ParallelRunsWriteWhatOneRunAtATimeWrites) {
  std::string sources;
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "B" + std::to_string(i);
    sources += Borehole(name) + " ";
    // Each borehole its own: the sample with one more site record.
    test::WriteBytes(base_ / "src" / name / "X1.TXT",
                     test::ReadBytes(base_ / "src" / name / "X1.TXT") + "4," +
                         std::to_string(20 + i) + ".00,a,b\r\n");
  }
  ASSERT_EQ(Convert(sources + (base_ / "one").string() + " --jobs 1"), 0) << err_;
  ASSERT_EQ(Convert(sources + (base_ / "many").string() + " --jobs 4"), 0) << err_;
  EXPECT_EQ(test::Snapshot(base_ / "one"), test::Snapshot(base_ / "many"));
  EXPECT_EQ(test::Snapshot(base_ / "many").size(), 6u);
  EXPECT_NE(err_.find("tjvx: 6 converted, 0 refused, 0 failed\n"), std::string::npos) << err_;
}

// The program started with its output into `out_fd` and its errors into err.txt, and what ended
// it; the signals `ignored` are set to be ignored before it starts, as nohup does. Every wait is
// bounded: a program still running after a minute is killed and the test fails.
class Child {
 public:
  Child(const std::vector<std::string>& args, int out_fd, const fs::path& err,
        const std::vector<int>& ignored = {}) {
    pid_ = fork();
    if (pid_ == 0) {
      for (int signal_number : ignored) signal(signal_number, SIG_IGN);
      dup2(out_fd, STDOUT_FILENO);
      const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err_fd, STDERR_FILENO);
      std::vector<char*> argv;
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~Child() {
    if (!ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
    }
  }
  pid_t pid() const { return pid_; }
  // Whether the program is still running; reaps it when it has ended.
  bool Running() {
    if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return !ended_;
  }
  // The wait status once it has ended, within a minute; -1 if it had to be killed.
  int Wait() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (Running() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ended_ ? status_ : -1;
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

// A borehole whose conversion takes long enough to be caught in flight: the sample with many more
// interval tests.
class InterruptTest : public CliBatchTest,
                      public testing::WithParamInterface<std::tuple<int, bool>> {
 protected:
  InterruptTest() {
    const std::string source = Borehole("BIG");
    std::string x5;
    for (int i = 1; i <= 300000; ++i) {
      x5 += std::to_string(i) + "," + std::to_string(i) + ".15,5,63.5,\"\",1,10,2,10,2,10\r\n";
    }
    test::WriteBytes(fs::path(source) / "X5.TXT", x5);
    fs::create_directories(base_ / "out");
    test::WriteBytes(base_ / "out" / "BIG", kEarlier);
  }
  ~InterruptTest() override { test::UnsetEnvironment("TJVX_NAMED_TEMPORARY_FILES"); }

  std::vector<std::string> Args() const {
    return {TJVX_PROGRAM,
            "convert",
            (base_ / "src" / "BIG").string(),
            (base_ / "out").string(),
            "--pattern",
            test::RepositoryPath("samples/DOZORA").string(),
            "--yes"};
  }

  // Whether the program has its converted file open: a name in the destination folder, or an
  // unnamed file there (/proc shows it as "<folder>/#<inode> (deleted)").
  bool Writing(pid_t pid) const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base_ / "out", ec)) {
      if (entry.path().filename().string().find(".tjvx-") != std::string::npos) return true;
    }
    const std::string prefix = (base_ / "out").string() + "/";
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
      const fs::path target = fs::read_symlink(entry.path(), ec);
      if (!ec && target.string().rfind(prefix, 0) == 0) return true;
    }
    return false;
  }

  // Starts the conversion, sends `signal_number` once the converted file is being written and
  // returns the program's wait status. With `ignored_by_parent` the program starts with the signal
  // ignored.
  int Interrupt(int signal_number, bool ignored_by_parent = false) {
    const int out_fd = open((base_ / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Child child(Args(), out_fd, base_ / "err.txt",
                ignored_by_parent ? std::vector<int>{signal_number} : std::vector<int>{});
    close(out_fd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!Writing(child.pid())) {
      if (!child.Running() || std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the run ended before it was caught writing";
        return child.Wait();
      }
    }
    kill(child.pid(), signal_number);
    return child.Wait();
  }

  static constexpr std::string_view kEarlier = "an earlier conversion\r\n";
};

TEST_P(InterruptTest, ASignalEndsTheRunByThatSignalAndLeavesNoTemporaryFile) {
  const auto [signal_number, named] = GetParam();
  if (named) test::SetEnvironment("TJVX_NAMED_TEMPORARY_FILES", "1");
  const int status = Interrupt(signal_number);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), signal_number);
  EXPECT_EQ(test::Snapshot(base_ / "out"),
            (std::vector<std::pair<std::string, std::string>>{{"BIG", std::string(kEarlier)}}));
}

std::string SignalCaseName(const testing::TestParamInfo<std::tuple<int, bool>>& info) {
  const int signal_number = std::get<0>(info.param);
  return std::string(signal_number == SIGINT    ? "Sigint"
                     : signal_number == SIGTERM ? "Sigterm"
                                                : "Sighup") +
         (std::get<1>(info.param) ? "Named" : "Unnamed");
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest,
                         testing::Combine(testing::Values(SIGINT, SIGTERM, SIGHUP),
                                          testing::Bool()),
                         SignalCaseName);

// A signal that whoever started the program set to be ignored (nohup, a background job) stays
// ignored: the run it reaches goes on to its end and puts its converted file in place.
using IgnoredSignalTest = InterruptTest;

TEST_P(IgnoredSignalTest, ASignalTheParentIgnoresLetsTheRunFinish) {
  const int signal_number = std::get<0>(GetParam());
  const int status = Interrupt(signal_number, /*ignored_by_parent=*/true);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << test::ReadBytes(base_ / "err.txt");
  const std::vector<std::pair<std::string, std::string>> out = test::Snapshot(base_ / "out");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].first, "BIG");
  EXPECT_EQ(out[0].second.rfind("GTJ Ge201\r\n", 0), 0u) << "not the converted file";
}

INSTANTIATE_TEST_SUITE_P(Nohup, IgnoredSignalTest,
                         testing::Combine(testing::Values(SIGINT, SIGTERM, SIGHUP),
                                          testing::Values(false)),
                         SignalCaseName);

// Nothing a handler could do: the unnamed file goes with the process.
using KillTest = InterruptTest;

TEST_P(KillTest, AKilledRunLeavesNoTemporaryFile) {
  const int status = Interrupt(SIGKILL);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
  EXPECT_EQ(test::Snapshot(base_ / "out"),
            (std::vector<std::pair<std::string, std::string>>{{"BIG", std::string(kEarlier)}}));
}

INSTANTIATE_TEST_SUITE_P(Unnamed, KillTest, testing::Values(std::make_tuple(SIGKILL, false)));

TEST_F(CliBatchTest, AClosedStandardOutputStopsNoRunAndTheSummaryGoesToStandardError) {
  std::vector<std::string> args = {TJVX_PROGRAM, "convert"};
  for (const char* name : {"B1", "B2", "B3"}) args.push_back(Borehole(name));
  for (const std::string& arg : {(base_ / "out").string(), std::string("--pattern"),
                                 test::RepositoryPath("samples/DOZORA").string(),
                                 std::string("--yes"), std::string("--jobs"), std::string("2")}) {
    args.push_back(arg);
  }
  // A pipe nobody reads any more, as `tjvx convert ... | head -c1` once head has ended.
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  close(pipe_fds[0]);
  Child child(args, pipe_fds[1], base_ / "err.txt");
  close(pipe_fds[1]);
  const int status = child.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string golden = test::ReadBytes(test::RepositoryPath("tests/golden/sample/B-12"));
  for (const char* name : {"B1", "B2", "B3"}) {
    EXPECT_EQ(test::ReadBytes(base_ / "out" / name), golden) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(base_ / "out"), {}), 3);
  const std::string err = test::ReadBytes(base_ / "err.txt");
  EXPECT_NE(err.find("tjvx: 3 converted, 0 refused, 0 failed\n"), std::string::npos) << err;
}

TEST_F(CliBatchTest, CheckExitsByTheWorstFindingAndItsJsonReportParses) {
  const std::string sample = Borehole("B-12");
  // The sample holds warnings on purpose.
  EXPECT_EQ(Check(sample), 1) << err_;
  EXPECT_NE(out_.find("X7.TXT:6: 警告: "), std::string::npos) << out_;

  // Without the files that hold them only notices remain.
  const std::string clean = Borehole("CLEAN");
  for (const char* name : {"X3.TXT", "R30.TXT", "X7.TXT", "X5.TXT"})
    fs::remove(fs::path(clean) / name);
  EXPECT_EQ(Check(clean), 0) << out_;

  const std::string broken = Borehole("BROKEN");
  test::WriteBytes(fs::path(broken) / "G40.TXT", "1,\"x\",0\r\n");
  EXPECT_EQ(Check(broken), 2) << out_;
  EXPECT_NE(out_.find("変換はこのエラーで止まります"), std::string::npos) << out_;

  // A batch gives the worst, checks every folder and writes one JSON document.
  EXPECT_EQ(Check(clean + " " + broken + " " + sample + " --format json --jobs 2"), 2) << err_;
  const nlohmann::json report = nlohmann::json::parse(out_);
  EXPECT_EQ(report["schema"], "tjvx-check");
  EXPECT_EQ(report["schema_version"], 1);
  EXPECT_EQ(report["status"], 2);
  ASSERT_EQ(report["folders"].size(), 3u);
  EXPECT_EQ(report["folders"][0]["given"], clean);
  EXPECT_EQ(report["folders"][0]["status"], 0);
  EXPECT_EQ(report["folders"][1]["status"], 2);
  EXPECT_FALSE(report["folders"][1]["conversion_stops_at"].is_null());
  const nlohmann::json& warning = report["folders"][2]["findings"][0];
  EXPECT_EQ(warning["file"], "X3.TXT");
  EXPECT_EQ(warning["line"], 5);
  EXPECT_EQ(warning["field"], 5);
  EXPECT_EQ(warning["severity"], "warning");
  EXPECT_EQ(warning["record"], "2001");
  EXPECT_TRUE(warning["lines"].is_null());
  // A zero notice lists every line it counts.
  const nlohmann::json& zeros = report["folders"][2]["findings"][2];
  EXPECT_EQ(zeros["file"], "R41.TXT");
  EXPECT_EQ(zeros["severity"], "notice");
  EXPECT_EQ(zeros["lines"], nlohmann::json::array({2}));

  // Nothing was written beside the folders checked.
  EXPECT_FALSE(fs::exists(base_ / "src" / "B-12" / "B-12"));
  EXPECT_EQ(Check(sample + " --format xml"), 105);
}

// The Windows form of a host path on drive Z: ("/tmp/x" is "Z:\tmp\x").
std::string ZForm(const fs::path& path) {
  std::string text = "Z:" + path.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The text report of a batch checked by several threads is each folder's own report, in the order
// the folders were given whichever finished first, under headings, and the summary counts them.
TEST_F(CliBatchTest, ABatchsTextReportIsEachFoldersReportInTheOrderGiven) {
  std::vector<std::string> folders;
  std::string args;
  for (int i = 0; i < 9; ++i) {
    const std::string folder = Borehole("B" + std::to_string(i));
    // Every third folder stops at an error and every third has no warnings, so the reports differ
    // in length and the threads finish them out of order.
    if (i % 3 == 1) test::WriteBytes(fs::path(folder) / "G40.TXT", "1,\"x\",0\r\n");
    if (i % 3 == 2) {
      for (const char* name : {"X3.TXT", "R30.TXT", "X7.TXT", "X5.TXT"})
        fs::remove(fs::path(folder) / name);
    }
    folders.push_back(folder);
    args += folder + " ";
  }
  std::string expected;
  for (size_t i = 0; i < folders.size(); ++i) {
    Check(folders[i]);
    expected += (i > 0 ? "\n== " : "== ") + ZForm(folders[i]) + " ==\n" + out_;
  }
  expected += "\ntjvx: 9 件を点検: エラーあり 3、警告あり 3、問題なし 3\n";
  EXPECT_EQ(Check(args + "--jobs 3"), 2) << err_;
  EXPECT_EQ(out_, expected);
}

// The JSON report's counts are its findings of each severity and those of the plausibility rules,
// every finding names its rule and what to do, a whole-file finding has null line and field, and
// the stop is the error finding with the message a conversion stops with.
TEST_F(CliBatchTest, TheJsonReportCountsItsFindingsAndCarriesTheConversionsMessage) {
  const std::string broken = Borehole("BROKEN");
  test::WriteBytes(fs::path(broken) / "G40.TXT", "1,\"x\",0\r\n");
  fs::remove(fs::path(broken) / "N9.TXT");
  const std::string sample = Borehole("B-12");
  ASSERT_EQ(Check(broken + " " + sample + " --format json --jobs 1"), 2) << err_;
  const nlohmann::json report = nlohmann::json::parse(out_);
  ASSERT_EQ(report["folders"].size(), 2u);
  for (const nlohmann::json& folder : report["folders"]) {
    SCOPED_TRACE(folder["given"].get<std::string>());
    std::map<std::string, int> counted = {
        {"error", 0}, {"warning", 0}, {"notice", 0}, {"plausibility", 0}};
    for (const nlohmann::json& finding : folder["findings"]) {
      ++counted[finding["severity"]];
      if (finding["plausibility"].get<bool>()) ++counted["plausibility"];
      EXPECT_FALSE(finding["rule"].get<std::string>().empty()) << finding;
      EXPECT_FALSE(finding["fix"].get<std::string>().empty()) << finding;
    }
    EXPECT_EQ(folder["counts"], nlohmann::json(counted));
  }
  const nlohmann::json& folder = report["folders"][0];
  const nlohmann::json& absent = folder["findings"][3];
  EXPECT_EQ(absent["file"], "N9.TXT");
  EXPECT_TRUE(absent["line"].is_null());
  EXPECT_TRUE(absent["field"].is_null());
  EXPECT_EQ(absent["record"], "3020");
  const nlohmann::json& stop = folder["conversion_stops_at"];
  const nlohmann::json& error = folder["findings"][stop["finding"].get<size_t>()];
  EXPECT_EQ(error["file"], "G40.TXT");
  EXPECT_EQ(error["line"], 1);
  EXPECT_TRUE(error["field"].is_null());
  EXPECT_TRUE(error["record"].is_null());
  EXPECT_EQ(error["severity"], "error");
  EXPECT_EQ(error["rule"], "E-RECORD-CUT-SHORT");
  const std::string message = "ファイルがレコードの途中で終わっている為に変換できません。\n" +
                              ZForm(fs::path(broken) / "G40.TXT") + "\n(1 行目)";
  EXPECT_EQ(stop["message"], message);
  EXPECT_TRUE(report["folders"][1]["conversion_stops_at"].is_null());

  // A conversion of the folder stops with that message.
  EXPECT_EQ(Convert(broken + " " + (base_ / "out").string()), 1);
  EXPECT_NE(err_.find("tjvx: " + message + "\n"), std::string::npos) << err_;

  // The text report has the same counts and the message under its error, each line indented.
  EXPECT_EQ(Check(broken), 2);
  EXPECT_NE(
      out_.find("G40.TXT:1: エラー: ファイルがレコードの途中で終わっている為に変換できませ"
                "ん。示された行の項目数を他の行と同じにしてください (カンマを含む値は \"\" で囲み"
                "ます)。 [E-RECORD-CUT-SHORT]\n    変換はこのエラーで止まります:\n    ファイルがレ"
                "コードの途中で終わっている為に変換できません。\n    " +
                ZForm(fs::path(broken) / "G40.TXT") + "\n    (1 行目)\n"),
      std::string::npos)
      << out_;
  EXPECT_TRUE(out_.ends_with(broken + ": エラー 1 件、警告 4 件、通知 3 件、妥当性 0 件\n"))
      << out_;
}

// A check meets what a conversion cannot read, or memory running out, or no settings: the folder
// gets an error finding with the conversion's own message, the JSON report is still written with
// status 2, and the other folder of the batch keeps its own report.
TEST_F(CliBatchTest, CheckNeverAbortsAndAlwaysWritesItsReport) {
  const fs::path settings = base_ / "settings";
  struct Fault {
    const char* what;
    std::function<void(const fs::path& broken)> make;
    bool settings_only;  // the pattern folder comes from the settings under `settings`
    // The conversion's message boxes, in order.
    std::function<std::vector<std::string>(const fs::path& broken)> boxes;
  };
  const std::string cannot_read = "ファイルを読み込めない為に変換できません。\n";
  const std::string no_settings = " DOZORA の設定がありません.";
  const Fault faults[] = {
      {"a FIFO", [](const fs::path& b) { ASSERT_EQ(mkfifo((b / "G72.TXT").c_str(), 0600), 0); },
       false, [&](const fs::path& b) { return std::vector{cannot_read + ZForm(b / "G72.TXT")}; }},
      {"a link to a FIFO",
       [&](const fs::path& b) {
         ASSERT_EQ(mkfifo((base_ / "fifo").c_str(), 0600), 0);
         fs::create_symlink(base_ / "fifo", b / "X1.TXT");
       },
       false, [&](const fs::path& b) { return std::vector{cannot_read + ZForm(b / "X1.TXT")}; }},
      // A file bigger than any memory: reading it runs out of memory at once (it is sparse, so it
      // takes no room on the disk).
      {"memory running out",
       [](const fs::path& b) {
         std::error_code ec;
         fs::resize_file(b / "X5.TXT", std::uintmax_t{15} << 40, ec);
         if (ec) GTEST_SKIP() << "this file system holds no 15 TiB file";
       },
       false,
       [](const fs::path& b) {
         return std::vector{"メモリが足りない為に変換できません。\n" + ZForm(b)};
       }},
      {"no settings file", [](const fs::path&) {}, true,
       [&](const fs::path&) { return std::vector{no_settings}; }},
      {"a settings file that cannot be read",
       [&](const fs::path&) { ASSERT_EQ(mkfifo((settings / "DozoraV5.ini").c_str(), 0600), 0); },
       true,
       [&](const fs::path&) {
         return std::vector{cannot_read + ZForm(settings / "DozoraV5.ini"), no_settings};
       }},
  };
  test::SetEnvironment("TJVX_SYSDIR", settings);
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    // A sanitizer's operator new ends the program when memory runs out instead of throwing
    // std::bad_alloc, so the program under a sanitizer cannot show what it does then.
    if (kUnderSanitizer && std::string_view(fault.what) == "memory running out") continue;
    fs::remove_all(base_ / "src");
    fs::remove_all(base_ / "fifo");
    fs::remove_all(settings);
    fs::create_directories(settings);
    const std::string sample = Borehole("B-12");
    const fs::path broken = Borehole("BROKEN");
    fs::remove(broken / "G72.TXT");
    fs::remove(broken / "X1.TXT");
    fault.make(broken);
    if (testing::Test::IsSkipped()) break;
    const std::string pattern = fault.settings_only ? "" : SamplePattern();
    const std::vector<std::string> boxes = fault.boxes(broken);
    std::string stop_message;
    for (const std::string& box : boxes) stop_message += (stop_message.empty() ? "" : "\n") + box;

    ASSERT_EQ(Run("check", sample + " " + broken.string() + " --format json" + pattern), 2) << err_;
    const nlohmann::json report = nlohmann::json::parse(out_);
    EXPECT_EQ(report["status"], 2);
    ASSERT_EQ(report["folders"].size(), 2u);
    const nlohmann::json& folder = report["folders"][1];
    EXPECT_EQ(folder["status"], 2);
    ASSERT_FALSE(folder["conversion_stops_at"].is_null()) << out_;
    EXPECT_EQ(folder["conversion_stops_at"]["message"], stop_message);
    const nlohmann::json& stop =
        folder["findings"][folder["conversion_stops_at"]["finding"].get<size_t>()];
    EXPECT_EQ(stop["severity"], "error");
    // The sample's own report, unless no folder has a pattern folder.
    EXPECT_EQ(report["folders"][0]["status"], fault.settings_only ? 2 : 1) << out_;

    // The conversion stops with those messages.
    EXPECT_EQ(Run("convert", broken.string() + " " + (base_ / "out").string() + " --yes" + pattern),
              fault.settings_only ? 2 : 1);
    std::string printed;
    for (const std::string& box : boxes) printed += "tjvx: " + box + "\n";
    EXPECT_NE(err_.find(printed), std::string::npos) << err_;
  }
  test::UnsetEnvironment("TJVX_SYSDIR");
}

// A folder name with control characters reaches the terminal as visible escapes only.
TEST_F(CliBatchTest, CheckWritesNoControlCharacterToTheTerminal) {
  const std::string name = "B\x1b[31m\x07";
  const std::string odd = Borehole(name);
  EXPECT_EQ(Check("'" + odd + "' " + Borehole("B-12")), 1) << err_;
  EXPECT_NE(out_.find("B\\x1b[31m\\x07"), std::string::npos) << out_;
  for (char c : out_)
    EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
}

TEST_F(CliBatchTest, AConversionThatChangedValuesSaysHowMany) {
  const std::string sample = Borehole("B-12");
  EXPECT_EQ(Convert(sample + " " + (base_ / "out").string()), 0) << err_;
  EXPECT_NE(err_.find("警告 4 件"), std::string::npos) << err_;
  EXPECT_NE(err_.find("tjvx check"), std::string::npos) << err_;
}

TEST_F(CliBatchTest, PreviewDrawsEachConvertedFileAsOneSvg) {
  const std::string first = Borehole("B-12");
  const std::string second = Borehole("B-13");
  const fs::path out = base_ / "out";
  ASSERT_EQ(Convert(first + " " + second + " " + out.string()), 0) << err_;
  auto run = [&](const std::string& args) { return Run("preview", args); };
  // Beside the file, named by -o, or into the folder -o names for several files.
  EXPECT_EQ(run((out / "B-12").string()), 0) << err_;
  EXPECT_TRUE(fs::exists(out / "B-12.svg"));
  // The one value of the sample that cannot be drawn, named on standard error where it stands.
  EXPECT_NE(err_.find("描画できない値 記録 4000 (83 行目): 7\n"), std::string::npos) << err_;
  EXPECT_EQ(run((out / "B-12").string() + " -o " + (base_ / "log.svg").string() + " --page A4"), 0)
      << err_;
  const std::string svg = test::ReadBytes(base_ / "log.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("B-12"), std::string::npos);
  // Pages also go to a printable HTML file of the SVG's name, one SVG a sheet.
  EXPECT_NE(out_.find("log.html"), std::string::npos) << out_;
  const std::string html = test::ReadBytes(base_ / "log.html");
  EXPECT_NE(html.find("@page { size: 210.00mm 297.00mm; margin: 0; }"), std::string::npos);
  EXPECT_EQ(html.find("<svg", html.find("<svg") + 1), std::string::npos);  // the sample: 1 page
  // The HTML file falls under the SVG's refusals: never an input, never a special file.
  test::WriteBytes(base_ / "in.html", "keep");
  test::WriteBytes(base_ / "in", test::ReadBytes(out / "B-12"));
  EXPECT_EQ(run((base_ / "in").string() + " " + (base_ / "in.html").string() + " --page A3"), 1);
  EXPECT_EQ(test::ReadBytes(base_ / "in.html"), "keep");
  ASSERT_EQ(mkfifo((base_ / "fifo.html").c_str(), 0600), 0);
  EXPECT_EQ(run((out / "B-12").string() + " -o " + (base_ / "fifo.svg").string() + " --page A4"),
            1);
  EXPECT_TRUE(fs::is_fifo(base_ / "fifo.html"));
  EXPECT_FALSE(fs::exists(base_ / "fifo.svg"));
  EXPECT_EQ(run((out / "B-12").string() + " " + (out / "B-13").string() + " -o " +
                (base_ / "logs").string()),
            0)
      << err_;
  EXPECT_TRUE(fs::exists(base_ / "logs" / "B-12.svg"));
  EXPECT_TRUE(fs::exists(base_ / "logs" / "B-13.svg"));

  // A file that is not a converted file is refused with its cause; the others are still drawn.
  test::WriteBytes(base_ / "not-converted", "hello\r\n");
  EXPECT_EQ(run((base_ / "not-converted").string() + " " + (out / "B-13").string()), 1);
  EXPECT_NE(err_.find("GTJ Ge201"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "not-converted.svg"));
  EXPECT_TRUE(fs::exists(out / "B-13.svg"));
  EXPECT_EQ(run((out / "B-12").string() + " --scale 1:0"), 2);
  EXPECT_EQ(run((out / "B-12").string() + " --page B5"), 105);
}

// A name no other test uses, so that a file written where it must not be is found by it alone.
std::string UniqueName() { return "tjvx-stray-" + std::to_string(getpid()); }

TEST_F(CliBatchTest, DestIsTakenAsGivenAndAnEmptyOneWritesNothing) {
  const std::string name = UniqueName();
  const std::string source = Borehole(name);
  // "ob " is not the folder "ob": the blank is refused.
  EXPECT_EQ(Convert(source + " '" + (base_ / "ob ").string() + "'"), 1);
  EXPECT_NE(err_.find("指定されたパスは正しくありません。"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "ob"));
  EXPECT_FALSE(fs::exists(base_ / "ob "));
  // Empty, blank, an unset variable: the drive message, then the path's; nothing written in the
  // root folder or the working folder.
  for (const char* empty : {"''", "' '", "\"$TJVX_UNSET_VARIABLE\""}) {
    SCOPED_TRACE(empty);
    EXPECT_EQ(Run("convert", "--yes" + SamplePattern() + " " + source + " " + empty), 1);
    EXPECT_NE(err_.find("規定値のドライブ名が正しくありません。"), std::string::npos) << err_;
    EXPECT_NE(err_.find("指定されたパスは正しくありません。"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(fs::path("/") / name));
    EXPECT_FALSE(fs::exists(fs::current_path() / name));
  }
}

TEST_F(CliBatchTest, AnEmptyOrMissingSourceIsNamedInItsMessage) {
  EXPECT_EQ(Convert("'' " + (base_ / "out").string()), 1);
  EXPECT_NE(err_.find("変換元ファイルが選択されていません。"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "out" / fs::current_path().filename()));
  EXPECT_EQ(Convert((base_ / "NONE").string() + " " + (base_ / "out").string()), 1);
  std::string none = "Z:" + (base_ / "NONE").string();
  std::replace(none.begin(), none.end(), '/', '\\');
  EXPECT_NE(err_.find("変換元フォルダが存在しない為に変換できません。\n" + none), std::string::npos)
      << err_;
}

TEST_F(CliBatchTest, AHostNameHoldingABackslashIsRefusedNotTakenForItsLookAlike) {
  // "x\B-12" would become the folder B-12 in x, which is here too.
  Borehole("x\\B-12");
  Borehole("x/B-12");
  test::WriteBytes(base_ / "src" / "x" / "B-12" / "X1.TXT", "1,7.25,\"look-alike\",\"\"\r\n");
  EXPECT_EQ(Convert("'" + (base_ / "src" / "x\\B-12").string() + "' " + (base_ / "out").string()),
            1);
  EXPECT_NE(err_.find("名前に \"\\\" を含むフォルダやファイルは"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "out" / "B-12"));
  // As the destination too.
  fs::create_directories(base_ / "o\\ut");
  EXPECT_EQ(Convert(Borehole("B-1") + " '" + (base_ / "o\\ut").string() + "'"), 1);
  EXPECT_TRUE(fs::is_empty(base_ / "o\\ut"));
}

TEST_F(CliBatchTest, ABatchNeverWritesAFileThatAnotherOfItsSourcesReads) {
  // S1 holds x1.txt; the converted file of a folder named X1.TXT, written into S1, would be read
  // in its place the next time S1 is converted.
  const std::string s1 = Borehole("S1");
  fs::rename(fs::path(s1) / "X1.TXT", fs::path(s1) / "x1.txt");
  test::CopyTree("samples/boreholes/B-12", base_ / "other" / "X1.TXT");
  EXPECT_EQ(Convert(s1 + " " + (base_ / "other" / "X1.TXT").string() + " " + s1), 1);
  EXPECT_NE(err_.find("出力ファイルが変換元のファイルと同じ為に変換できません。"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(fs::path(s1) / "X1.TXT"));
}

TEST_F(CliBatchTest, PreviewWritesNoInputNoSpecialFileAndNoNameTwice) {
  ASSERT_EQ(Convert(Borehole("B-12") + " " + (base_ / "out").string()), 0);
  const std::string converted = test::ReadBytes(base_ / "out" / "B-12");
  test::WriteBytes(base_ / "a" / "LOG", converted);
  test::WriteBytes(base_ / "b" / "LOG", converted);
  const std::string a = (base_ / "a" / "LOG").string(), b = (base_ / "b" / "LOG").string();
  // Two drawings of one name into one folder: the second is refused, not written over the first.
  EXPECT_EQ(Run("preview", a + " " + b + " -o " + (base_ / "od").string()), 1);
  EXPECT_NE(err_.find("出力ファイルに別の入力ファイルの図が先に書かれている為に書けません"),
            std::string::npos)
      << err_;
  EXPECT_TRUE(fs::is_regular_file(base_ / "od" / "LOG.svg"));
  // Its own input, also by another spelling of it.
  for (const std::string& output : {a, (base_ / "a" / "." / "LOG").string()}) {
    EXPECT_EQ(Run("preview", a + " -o " + output), 1);
    EXPECT_NE(err_.find("出力ファイルが入力ファイルと同じ為に書けません"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(a), converted);
  }
  // A FIFO, and as root a device node like /dev/null, stays what it is.
  ASSERT_EQ(mkfifo((base_ / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(Run("preview", a + " -o " + (base_ / "fifo").string()), 1);
  EXPECT_TRUE(fs::is_fifo(base_ / "fifo"));
  if (geteuid() == 0) {
    ASSERT_EQ(mknod((base_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    EXPECT_EQ(Run("preview", a + " -o " + (base_ / "null").string()), 1);
    EXPECT_NE(err_.find("特殊ファイル"), std::string::npos) << err_;
    EXPECT_TRUE(fs::is_character_file(base_ / "null"));
  }
}

TEST_F(CliBatchTest, AFileSizeLimitIsAWriteFailureThatLeavesNothing) {
  const std::string source = Borehole("B-12");
  fs::create_directories(base_ / "out");
  for (const char* named : {"", "TJVX_NAMED_TEMPORARY_FILES=1 "}) {
    SCOPED_TRACE(named);
    const std::string command = std::string("ulimit -f 2; ") + named + TJVX_PROGRAM + " convert " +
                                source + " " + (base_ / "out").string() + SamplePattern() + " 2> " +
                                (base_ / "err.txt").string();
    const int status = std::system(("bash -c '" + command + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "killed by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(test::ReadBytes(base_ / "err.txt").find("ファイルに書き込めない為に変換できません。"),
              std::string::npos);
    EXPECT_TRUE(fs::is_empty(base_ / "out"));
  }
}

TEST_F(CliBatchTest, JobsMustBePositive) {
  EXPECT_NE(Convert(Borehole("B1") + " " + (base_ / "out").string() + " --jobs 0"), 0);
  EXPECT_NE(err_.find("--jobs: Value 0 not in range 1 to 1024"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "out"));
}

TEST_F(CliBatchTest, NamesThatAreNotUtf8StayTwoFoldersAndTwoFiles) {
  // Two folders named with raw CP932 bytes (X + あ, X + い) side by side, told apart by their X1.
  const std::string a = Borehole("X\x82\xa0");
  const std::string b = Borehole("X\x82\xa2");
  test::WriteBytes(fs::path(b) / "X1.TXT", "1,7.25,\"other\",\"\"\r\n");
  EXPECT_EQ(Convert(a + " " + b + " " + (base_ / "out").string() + " --jobs 2"), 0) << err_;
  EXPECT_NE(err_.find("2 converted, 0 refused, 0 failed"), std::string::npos) << err_;
  const std::string first = test::ReadBytes(base_ / "out" / "X\x82\xa0");
  const std::string second = test::ReadBytes(base_ / "out" / "X\x82\xa2");
  EXPECT_EQ(first.find("2000 7.25 other"), std::string::npos);
  EXPECT_NE(second.find("2000 7.25 other"), std::string::npos);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(base_ / "out")) ++files;
  EXPECT_EQ(files, 2u);
}

TEST_F(CliBatchTest, ASourceWithATrailingBlankIsThatFolderNotItsLookAlike) {
  Borehole("B-12");
  const std::string blank = Borehole("B-12 ");
  test::WriteBytes(fs::path(blank) / "X1.TXT", "1,2.50,\"blank\",\"\"\r\n");
  EXPECT_EQ(Convert("'" + blank + "' " + (base_ / "out").string()), 0) << err_;
  EXPECT_TRUE(fs::exists(base_ / "out" / "B-12 "));
  EXPECT_FALSE(fs::exists(base_ / "out" / "B-12"));
  EXPECT_NE(test::ReadBytes(base_ / "out" / "B-12 ").find("2000 2.50 blank"), std::string::npos);
}

TEST_F(CliBatchTest, ASecondSourceOfTheSameNameIsRefusedNotWrittenOverTheFirst) {
  // Two folders B-12 in different places would make one converted file B-12.
  test::CopyTree("samples/boreholes/B-12", base_ / "a" / "B-12");
  test::CopyTree("samples/boreholes/B-12", base_ / "b" / "B-12");
  test::WriteBytes(base_ / "b" / "B-12" / "X1.TXT", "1,7.25,\"second\",\"\"\r\n");
  const std::string first = (base_ / "a" / "B-12").string();
  const std::string second = (base_ / "b" / "B-12").string() + "/";
  EXPECT_EQ(Convert(first + " " + second + " " + (base_ / "out").string()), 1);
  EXPECT_NE(err_.find("1 converted, 1 refused, 0 failed"), std::string::npos) << err_;
  EXPECT_NE(err_.find("同じ名前の変換元フォルダが先に指定されている為に変換できません。"),
            std::string::npos)
      << err_;
  EXPECT_EQ(test::ReadBytes(base_ / "out" / "B-12").find("second"), std::string::npos);
}

}  // namespace
}  // namespace tjvx
