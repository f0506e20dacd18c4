// The site dialog's logic through a fake dialog: which folders it lists and in what order, the
// check of each with its tick, sorting and choosing, the conversion with its progress, refusals,
// failures, the question about a missing destination, cancelling, and that the dialog is only ever
// called on the window's thread. The batch rules themselves, shared with the command line, are
// tested there as well (cli_batch_test.cc).

#include "form/site_batch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/message_host.h"
#include "base/utf.h"
#include "convert/batch.h"
#include "convert/check_report.h"
#include "form/report_and_log.h"
#include "tests/test_support.h"

namespace tjvx::form {
namespace {

namespace fs = std::filesystem;
using test::BoreholeKind;

// The dialog as the logic sees it: everything shown is kept, message boxes answer from a script,
// and a call from any thread but the one that made it is counted.
class FakeBatchView : public SiteBatchView {
 public:
  struct Box {
    std::u16string prompt;
    int style;
    std::u16string title;
  };

  void ShowRows(const std::vector<BatchRow>& shown, int chosen) override {
    Note();
    rows = shown;
    selected = chosen;
  }
  void ShowRow(int position, const BatchRow& row) override {
    Note();
    if (position < 0 || static_cast<size_t>(position) >= rows.size()) {
      ADD_FAILURE() << "row " << position << " of " << rows.size();
      return;
    }
    rows[static_cast<size_t>(position)] = row;
    row_history.push_back(row);
  }
  void SetText(BatchText text, std::u16string_view value) override {
    Note();
    texts[text] = std::u16string(value);
    if (text == BatchText::kStatus) statuses.emplace_back(value);
  }
  void SetProgress(int done, int total) override {
    Note();
    progress.emplace_back(done, total);
  }
  void EnableButton(BatchButton button, bool enabled) override {
    Note();
    buttons[button] = enabled;
  }
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    Note();
    boxes.push_back({std::u16string(prompt), style, std::u16string(title)});
    if (answers.empty()) return base::kAnswerOk;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void ShowCheckReport(const CheckReport& report) override {
    Note();
    reports.push_back(report);
  }
  bool ShowLog(const LogDrawing& log, std::u16string_view name) override {
    Note();
    logs.emplace_back(log, std::u16string(name));
    return true;
  }

  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (const BatchRow& row : rows) names.push_back(Cell(row, BatchColumn::kFolder));
    return names;
  }
  static const std::u16string& Cell(const BatchRow& row, BatchColumn column) {
    return row.cells[static_cast<size_t>(column)];
  }
  int Position(std::u16string_view name) const {
    for (size_t i = 0; i < rows.size(); ++i) {
      if (Cell(rows[i], BatchColumn::kFolder) == name) return static_cast<int>(i);
    }
    return -1;
  }
  const BatchRow& Row(std::u16string_view name) const {
    const int position = Position(name);
    EXPECT_GE(position, 0) << base::ToUtf8(name);
    return rows.at(static_cast<size_t>(position));
  }
  std::u16string Outcome(std::u16string_view name) const {
    return Cell(Row(name), BatchColumn::kOutcome);
  }

  std::vector<BatchRow> rows;
  int selected = -1;
  std::vector<BatchRow> row_history;
  std::map<BatchText, std::u16string> texts;
  std::vector<std::u16string> statuses;
  std::vector<std::pair<int, int>> progress;
  std::map<BatchButton, bool> buttons;
  std::vector<Box> boxes;
  std::vector<int> answers;
  std::vector<CheckReport> reports;
  std::vector<std::pair<LogDrawing, std::u16string>> logs;
  int off_thread_calls = 0;

 private:
  void Note() {
    if (std::this_thread::get_id() != owner_) ++off_thread_calls;
  }
  const std::thread::id owner_ = std::this_thread::get_id();
};

// A door the workers wait at until the test opens it; it counts who has come.
class Gate {
 public:
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++arrived_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Waits (a minute at most) until `count` workers have come.
  bool WaitFor(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::minutes(1), [&] { return arrived_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int arrived_ = 0;
};

class SiteBatchTest : public testing::Test {
 protected:
  SiteBatchTest() {
    test::CopyTree("samples/DOZORA", drives_.d() / "DOZORA");
    setup_.site = u"C:\\SITE";
    setup_.destination = u"D:\\OUT";
    setup_.pattern_folder = u"D:\\DOZORA\\";
    setup_.registry = &registry_;
    setup_.jobs = 2;
    fs::create_directories(Site());
    fs::create_directories(drives_.d() / "OUT");
  }
  ~SiteBatchTest() override {
    form_.reset();
    EXPECT_EQ(view_.off_thread_calls, 0) << "the dialog was called off the window's thread";
  }

  fs::path Site() const { return drives_.c() / "SITE"; }
  fs::path Out() const { return drives_.d() / "OUT"; }
  void Borehole(const std::string& name, BoreholeKind kind) {
    test::WriteBorehole(Site() / name, kind);
  }

  // The dialog opened: the logic made and started.
  void Open() {
    form_ = std::make_unique<SiteBatchForm>(view_, setup_, [this] {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
      wake_.notify_all();
    });
    if (gate_) form_->SetGate(gate_);
    form_->Start();
  }

  // The window's thread: delivers what the workers send until `done` holds (a minute at most).
  bool DeliverUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
      form_->Deliver();
      if (done()) return true;
      std::unique_lock<std::mutex> lock(mutex_);
      if (!wake_.wait_until(lock, deadline, [&] { return woken_; })) return false;
      woken_ = false;
    }
  }
  bool Idle() {
    return DeliverUntil([&] { return !form_->busy(); });
  }

  // Opens the dialog and waits for every check.
  void OpenChecked() {
    Open();
    ASSERT_TRUE(Idle());
  }

  test::TempDrives drives_;
  convert::SiteRegistry registry_;
  SiteBatchSetup setup_;
  FakeBatchView view_;
  std::function<void(BatchPhase, const std::u16string&)> gate_;
  std::unique_ptr<SiteBatchForm> form_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
};

// --- Listing ---------------------------------------------------------------------------------

TEST_F(SiteBatchTest, ListsTheSubfoldersHoldingABoreholeFileInNaturalOrder) {
  Borehole("B-10", BoreholeKind::kWarnings);
  Borehole("B-2", BoreholeKind::kClean);
  Borehole("B-1", BoreholeKind::kClean);
  // Names in any letter case count: one file is enough.
  test::WriteBytes(Site() / "b-3" / "titl01.txt", "1,\"a\"\r\n");
  // Folders holding none of the files, one only deeper down, and a file at the site's top.
  test::WriteBytes(Site() / "docs" / "README.TXT", "x");
  fs::create_directories(Site() / "empty");
  test::WriteBytes(Site() / "B-4" / "inner" / "X1.TXT", "1,1.00,a,b\r\n");
  test::WriteBytes(Site() / "X1.TXT", "1,1.00,a,b\r\n");
  OpenChecked();

  EXPECT_EQ(view_.Names(), (std::vector<std::u16string>{u"B-1", u"B-2", u"b-3", u"B-10"}));
  EXPECT_TRUE(view_.texts[BatchText::kSummary].starts_with(u"4 件を点検: "));
}

TEST_F(SiteBatchTest, ControlCharactersInANameAreShownAsEscapes) {
  const std::u16string name = u"B-\u009b1\u007f";
  test::WriteBorehole(Site() / fs::path(name), BoreholeKind::kClean);
  setup_.site = u"C:\\SITE";
  OpenChecked();
  ASSERT_EQ(view_.rows.size(), 1u);
  const std::u16string shown = FakeBatchView::Cell(view_.rows[0], BatchColumn::kFolder);
  EXPECT_EQ(shown, convert::VisibleText(name));
  form_->OnRowSelected(0);
  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(view_.Outcome(shown), u"変換済");
  for (const auto& [which, text] : view_.texts) {
    for (char16_t c : text) {
      EXPECT_FALSE((c < 0x20 && c != u'\n') || (c >= 0x7F && c <= 0x9F))
          << static_cast<int>(which) << ": " << base::ToUtf8(text);
    }
  }
  EXPECT_TRUE(fs::exists(Out() / fs::path(name)));
}

TEST_F(SiteBatchTest, ASiteWithoutBoreholesSaysSoAndOffersNothingToConvert) {
  test::WriteBytes(Site() / "docs" / "README.TXT", "x");
  OpenChecked();
  EXPECT_TRUE(view_.rows.empty());
  EXPECT_EQ(view_.texts[BatchText::kSummary], kNoBoreholesMessage);
  EXPECT_FALSE(view_.buttons[BatchButton::kConvert]);
  EXPECT_FALSE(view_.buttons[BatchButton::kSelectAll]);
  // A missing site folder lists nothing either.
  setup_.site = u"C:\\NONE";
  view_.texts.clear();
  OpenChecked();
  EXPECT_EQ(view_.texts[BatchText::kSummary], kNoBoreholesMessage);
}

// --- Checks and ticks ------------------------------------------------------------------------

TEST_F(SiteBatchTest, EachRowCountsWhatTheCheckButtonFindsAndIsTickedUnlessItHasAnError) {
  Borehole("CLEAN", BoreholeKind::kClean);
  Borehole("WARN", BoreholeKind::kWarnings);
  Borehole("ERR", BoreholeKind::kError);
  OpenChecked();

  source::PatternTables tables(setup_.pattern_folder);
  for (const char16_t* name : {u"CLEAN", u"WARN", u"ERR"}) {
    const convert::CheckResult check =
        convert::CheckSourceFolder(u"C:\\SITE\\" + std::u16string(name), tables, true);
    const BatchRow& row = view_.Row(name);
    auto count = [&](base::Severity severity) {
      return base::FromAscii(std::to_string(check.Count(severity)));
    };
    EXPECT_EQ(FakeBatchView::Cell(row, BatchColumn::kErrors), count(base::Severity::kError));
    EXPECT_EQ(FakeBatchView::Cell(row, BatchColumn::kWarnings), count(base::Severity::kWarning));
    EXPECT_EQ(FakeBatchView::Cell(row, BatchColumn::kNotices), count(base::Severity::kNotice));
    EXPECT_EQ(row.ticked, check.Status() < 2) << base::ToUtf8(name);
  }
  EXPECT_EQ(view_.Row(u"CLEAN").mark, RowMark::kClean);
  EXPECT_EQ(view_.Row(u"WARN").mark, RowMark::kWarning);
  EXPECT_EQ(view_.Row(u"ERR").mark, RowMark::kError);
  // Coloured as the report colours its worst finding; a clean row as any list's row.
  for (const auto& [name, severity] :
       {std::pair{u"WARN", base::Severity::kWarning}, std::pair{u"ERR", base::Severity::kError}}) {
    const RowColours expected = ReportRowColours(severity);
    EXPECT_EQ(view_.Row(name).colours.text, expected.text) << base::ToUtf8(name);
    EXPECT_EQ(view_.Row(name).colours.ground, expected.ground) << base::ToUtf8(name);
  }
  EXPECT_FALSE(view_.Row(u"CLEAN").colours.text || view_.Row(u"CLEAN").colours.ground);
  EXPECT_EQ(view_.texts[BatchText::kSummary], u"3 件を点検: エラーあり 1、警告あり 1、問題なし 1");
  EXPECT_TRUE(view_.buttons[BatchButton::kConvert]);
  EXPECT_FALSE(view_.buttons[BatchButton::kCancel]);
  // The progress bar went through every check.
  ASSERT_FALSE(view_.progress.empty());
  EXPECT_EQ(view_.progress.back(), std::make_pair(3, 3));
}

TEST_F(SiteBatchTest, RowsFillInAsChecksComeAndAChoiceMadeMeanwhileStays) {
  Borehole("A", BoreholeKind::kClean);
  Borehole("B", BoreholeKind::kError);
  setup_.jobs = 1;
  auto gate = std::make_shared<Gate>();
  // The check of B waits; A's has come by then.
  gate_ = [gate](BatchPhase phase, const std::u16string& name) {
    if (phase == BatchPhase::kCheck && name == u"B") gate->Pass();
  };
  Open();
  ASSERT_TRUE(gate->WaitFor(1));
  ASSERT_TRUE(DeliverUntil([&] { return view_.Row(u"A").mark != RowMark::kPending; }));
  EXPECT_EQ(view_.Row(u"B").mark, RowMark::kPending);
  EXPECT_EQ(view_.Row(u"B").colours.text, kPendingRowText);
  EXPECT_EQ(FakeBatchView::Cell(view_.Row(u"B"), BatchColumn::kErrors), u"点検中");
  EXPECT_TRUE(form_->busy());
  EXPECT_FALSE(view_.buttons[BatchButton::kConvert]);
  // The user chooses B before its error is known: the error does not undo the choice.
  form_->OnTickChanged(view_.Position(u"B"), true);
  gate->Open();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(view_.Row(u"B").mark, RowMark::kError);
  EXPECT_TRUE(view_.Row(u"B").ticked);
}

// --- Sorting and choosing --------------------------------------------------------------------

TEST_F(SiteBatchTest, SortsByNameOrByResultEitherWayAndKeepsTheChosenRow) {
  Borehole("B-1", BoreholeKind::kClean);
  Borehole("B-2", BoreholeKind::kError);
  Borehole("B-10", BoreholeKind::kWarnings);
  Borehole("B-3", BoreholeKind::kClean);
  OpenChecked();
  form_->OnRowSelected(view_.Position(u"B-10"));
  const std::u16string detail = view_.texts[BatchText::kDetail];
  EXPECT_TRUE(detail.starts_with(u"C:\\SITE\\B-10\n")) << base::ToUtf8(detail);

  form_->OnSortClicked(BatchColumn::kErrors);
  EXPECT_EQ(view_.Names(), (std::vector<std::u16string>{u"B-2", u"B-10", u"B-1", u"B-3"}));
  EXPECT_EQ(view_.selected, view_.Position(u"B-10"));
  form_->OnSortClicked(BatchColumn::kWarnings);
  EXPECT_EQ(view_.Names(), (std::vector<std::u16string>{u"B-1", u"B-3", u"B-10", u"B-2"}));
  form_->OnSortClicked(BatchColumn::kFolder);
  EXPECT_EQ(view_.Names(), (std::vector<std::u16string>{u"B-1", u"B-2", u"B-3", u"B-10"}));
  form_->OnSortClicked(BatchColumn::kFolder);
  EXPECT_EQ(view_.Names(), (std::vector<std::u16string>{u"B-10", u"B-3", u"B-2", u"B-1"}));
  EXPECT_EQ(view_.selected, 0);
  EXPECT_EQ(view_.texts[BatchText::kDetail], detail);
  // A tick goes to the row at that place in the order shown.
  form_->OnTickChanged(view_.Position(u"B-3"), false);
  EXPECT_FALSE(view_.Row(u"B-3").ticked);
  EXPECT_TRUE(view_.Row(u"B-1").ticked);
}

TEST_F(SiteBatchTest, SelectAllAndNoneTickEveryRow) {
  Borehole("A", BoreholeKind::kClean);
  Borehole("B", BoreholeKind::kError);
  OpenChecked();
  form_->OnSelectAllClicked();
  EXPECT_TRUE(view_.Row(u"A").ticked && view_.Row(u"B").ticked);
  form_->OnSelectNoneClicked();
  EXPECT_FALSE(view_.Row(u"A").ticked || view_.Row(u"B").ticked);
  // Nothing ticked, nothing to convert.
  EXPECT_FALSE(view_.buttons[BatchButton::kConvert]);
  form_->OnConvertClicked();
  EXPECT_FALSE(form_->busy());
  EXPECT_TRUE(fs::is_empty(Out()));
}

// --- Converting ------------------------------------------------------------------------------

TEST_F(SiteBatchTest, ConvertsTheTickedRowsAsTheRunButtonWouldAndSaysWhatBecameOfEach) {
  Borehole("A", BoreholeKind::kWarnings);
  Borehole("B", BoreholeKind::kClean);
  Borehole("C", BoreholeKind::kError);  // left unticked
  Borehole("D", BoreholeKind::kClean);  // its converted name is taken by a folder
  Borehole("E", BoreholeKind::kError);  // ticked by hand: fails
  fs::create_directories(Out() / "D");
  OpenChecked();
  form_->OnTickChanged(view_.Position(u"E"), true);
  form_->OnConvertClicked();
  EXPECT_TRUE(form_->busy());
  EXPECT_FALSE(view_.buttons[BatchButton::kConvert]);
  EXPECT_FALSE(view_.buttons[BatchButton::kSelectAll]);
  // Ticks are fixed while converting.
  form_->OnTickChanged(view_.Position(u"C"), true);
  EXPECT_FALSE(view_.Row(u"C").ticked);
  ASSERT_TRUE(Idle());

  // The converted files are those the run button writes for each folder.
  source::PatternTables tables(setup_.pattern_folder);
  for (const char* name : {"A", "B"}) {
    test::ScriptedRunHost host(u"C:\\SITE\\" + base::FromUtf8(name), u"D:\\REF");
    host.boxes.answers = {base::kAnswerYes};
    ASSERT_EQ(convert::RunConversion(host, tables, nullptr).outcome,
              convert::RunOutcome::kConverted);
    EXPECT_EQ(test::ReadBytes(Out() / name), test::ReadBytes(drives_.d() / "REF" / name)) << name;
    EXPECT_EQ(view_.Outcome(base::FromUtf8(name)), u"変換済");
  }
  EXPECT_EQ(FakeBatchView::Cell(view_.Row(u"A"), BatchColumn::kMessage), convert::WarningsLine(4));
  EXPECT_EQ(view_.Outcome(u"C"), u"");
  EXPECT_EQ(view_.Outcome(u"D"), u"拒否");
  EXPECT_EQ(FakeBatchView::Cell(view_.Row(u"D"), BatchColumn::kMessage),
            convert::kSameNameFolderMessage);
  EXPECT_EQ(view_.Outcome(u"E"), u"失敗");
  // The failure is the one the check said a conversion stops with; the detail pane holds it whole.
  const convert::CheckResult e_check = convert::CheckSourceFolder(u"C:\\SITE\\E", tables, true);
  form_->OnRowSelected(view_.Position(u"E"));
  EXPECT_TRUE(view_.texts[BatchText::kDetail].ends_with(u"\n失敗: " + e_check.stop_message))
      << base::ToUtf8(view_.texts[BatchText::kDetail]);
  EXPECT_EQ(FakeBatchView::Cell(view_.Row(u"E"), BatchColumn::kMessage),
            e_check.stop_message.substr(0, e_check.stop_message.find(u'\n')));
  EXPECT_EQ(view_.texts[BatchText::kSummary], u"変換済 2 件、拒否 1 件、失敗 1 件、未変換 0 件");
  // Nothing else reached the destination: no temporary file, no file for C, D or E.
  std::vector<std::string> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(Out())) {
    written.push_back(entry.path().filename().string());
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"A", "B", "D"}));
  EXPECT_TRUE(fs::is_directory(Out() / "D"));
  // Each converted borehole is a site of the session, as after the run button.
  EXPECT_EQ(registry_.count(), 2);
  EXPECT_EQ(registry_.current_folder(), u"D:\\OUT\\");
  EXPECT_TRUE(view_.buttons[BatchButton::kConvert]);
  EXPECT_TRUE(view_.boxes.empty());
}

TEST_F(SiteBatchTest, ProgressGoesFolderByFolderInTheOrderShown) {
  for (const char* name : {"B-1", "B-2", "B-10", "B-3"}) Borehole(name, BoreholeKind::kClean);
  setup_.jobs = 1;
  OpenChecked();
  form_->OnSortClicked(BatchColumn::kFolder);  // B-3 first now: the order shown is the order run
  view_.progress.clear();
  view_.statuses.clear();
  view_.row_history.clear();
  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());

  std::vector<std::pair<int, int>> expected;
  for (int done = 0; done <= 4; ++done) expected.emplace_back(done, 4);
  EXPECT_EQ(view_.progress, expected);
  std::vector<std::u16string> converting;
  for (const std::u16string& status : view_.statuses) {
    if (status.starts_with(u"変換中: ")) converting.push_back(status.substr(5));
  }
  EXPECT_EQ(converting, (std::vector<std::u16string>{u"B-10", u"B-3", u"B-2", u"B-1"}));
  // Each row said 変換中 before 変換済.
  std::vector<std::u16string> b3;
  for (const BatchRow& row : view_.row_history) {
    if (FakeBatchView::Cell(row, BatchColumn::kFolder) == u"B-3") {
      b3.push_back(FakeBatchView::Cell(row, BatchColumn::kOutcome));
    }
  }
  EXPECT_EQ(b3, (std::vector<std::u16string>{u"変換中", u"変換済"}));
  EXPECT_EQ(view_.texts[BatchText::kStatus], u"");
}

TEST_F(SiteBatchTest, CancelStopsAfterTheFoldersInFlightAndLeavesTheRestUnconverted) {
  for (const char* name : {"A", "B", "C"}) Borehole(name, BoreholeKind::kClean);
  setup_.jobs = 1;
  auto gate = std::make_shared<Gate>();
  gate_ = [gate](BatchPhase phase, const std::u16string& name) {
    if (phase == BatchPhase::kConvert && name == u"A") gate->Pass();
  };
  OpenChecked();
  form_->OnConvertClicked();
  ASSERT_TRUE(gate->WaitFor(1));
  ASSERT_TRUE(DeliverUntil([&] { return view_.Outcome(u"A") == u"変換中"; }));
  EXPECT_TRUE(view_.buttons[BatchButton::kCancel]);
  form_->OnCancelClicked();
  EXPECT_FALSE(view_.buttons[BatchButton::kCancel]);
  EXPECT_TRUE(view_.texts[BatchText::kStatus].starts_with(u"中止しています"));
  gate->Open();
  ASSERT_TRUE(Idle());

  EXPECT_EQ(view_.Outcome(u"A"), u"変換済");
  EXPECT_EQ(view_.Outcome(u"B"), u"未変換");
  EXPECT_EQ(view_.Outcome(u"C"), u"未変換");
  EXPECT_TRUE(fs::exists(Out() / "A"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Out()), {}), 1);
  EXPECT_EQ(view_.texts[BatchText::kSummary], u"変換済 1 件、拒否 0 件、失敗 0 件、未変換 2 件");
  EXPECT_EQ(view_.texts[BatchText::kStatus], u"中止しました。");
  // The rest can be converted afterwards.
  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(view_.texts[BatchText::kSummary], u"変換済 3 件、拒否 0 件、失敗 0 件、未変換 0 件");
}

TEST_F(SiteBatchTest, ClosingWhileConvertingEndsTheFoldersInFlightWholeAndStartsNoMore) {
  for (const char* name : {"A", "B", "C"}) Borehole(name, BoreholeKind::kWarnings);
  setup_.jobs = 1;
  auto gate = std::make_shared<Gate>();
  gate_ = [gate](BatchPhase phase, const std::u16string& name) {
    if (phase == BatchPhase::kConvert && name == u"A") gate->Pass();
  };
  OpenChecked();
  form_->OnConvertClicked();
  ASSERT_TRUE(gate->WaitFor(1));
  std::thread opener([gate] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    gate->Open();
  });
  form_.reset();  // the window goes: it waits for A's run
  opener.join();
  EXPECT_EQ(test::ReadBytes(Out() / "A"),
            test::ReadBytes(test::RepositoryPath("tests/golden/sample/B-12")));
  EXPECT_EQ(std::distance(fs::directory_iterator(Out()), {}), 1);
}

TEST_F(SiteBatchTest, AMissingDestinationIsAskedAboutOnceAndNoLeavesEveryRowUnconverted) {
  for (const char* name : {"A", "B", "C"}) Borehole(name, BoreholeKind::kClean);
  setup_.destination = u"D:\\NEW\\OUT";
  OpenChecked();
  view_.answers = {base::kAnswerNo};
  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, convert::kCreateFolderQuestion);
  EXPECT_EQ(view_.boxes[0].style, base::kMsgYesNoQuestion);
  EXPECT_FALSE(fs::exists(drives_.d() / "NEW"));
  for (const char16_t* name : {u"A", u"B", u"C"}) EXPECT_EQ(view_.Outcome(name), u"未変換");

  view_.answers = {base::kAnswerYes};
  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(view_.boxes.size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(drives_.d() / "NEW" / "OUT"), {}), 3);
  EXPECT_EQ(view_.texts[BatchText::kSummary], u"変換済 3 件、拒否 0 件、失敗 0 件、未変換 0 件");
}

TEST_F(SiteBatchTest, ABadDestinationIsRefusedOnceBeforeAnythingRuns) {
  Borehole("A", BoreholeKind::kClean);
  Borehole("B", BoreholeKind::kClean);
  setup_.destination = u"D:\\O?T";
  OpenChecked();
  form_->OnConvertClicked();
  EXPECT_FALSE(form_->busy());
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].prompt, convert::kBadPathMessage);
  EXPECT_EQ(view_.boxes[0].style, base::kMsgExclamation);
  EXPECT_EQ(view_.boxes[0].title, u"D:\\O?T");
  EXPECT_EQ(view_.Outcome(u"A"), u"");
  EXPECT_TRUE(fs::is_empty(drives_.d() / "OUT"));
}

// --- What a row opens ------------------------------------------------------------------------

TEST_F(SiteBatchTest, ARowOpensItsCheckReportAndAConvertedRowItsLog) {
  Borehole("A", BoreholeKind::kWarnings);
  Borehole("B", BoreholeKind::kError);
  OpenChecked();
  // Nothing chosen, nothing to open.
  form_->OnReportClicked();
  form_->OnShowLogClicked();
  EXPECT_TRUE(view_.reports.empty());
  EXPECT_FALSE(view_.buttons[BatchButton::kReport]);

  form_->OnRowSelected(view_.Position(u"B"));
  EXPECT_TRUE(view_.buttons[BatchButton::kReport]);
  EXPECT_FALSE(view_.buttons[BatchButton::kShowLog]);
  form_->OnReportClicked();
  source::PatternTables tables(setup_.pattern_folder);
  const convert::CheckResult check = convert::CheckSourceFolder(u"C:\\SITE\\B", tables, true);
  ASSERT_EQ(view_.reports.size(), 1u);
  EXPECT_EQ(view_.reports[0].title, u"点検結果 - C:\\SITE\\B");
  EXPECT_EQ(view_.reports[0].text, convert::ReportText(check.folder, check));

  form_->OnConvertClicked();
  ASSERT_TRUE(Idle());
  form_->OnShowLogClicked();  // B is not converted
  EXPECT_TRUE(view_.logs.empty());
  form_->OnRowSelected(view_.Position(u"A"));
  EXPECT_TRUE(view_.buttons[BatchButton::kShowLog]);
  form_->OnShowLogClicked();
  ASSERT_EQ(view_.logs.size(), 1u);
  EXPECT_EQ(view_.logs[0].second, u"A");
  LogDrawing expected;
  ASSERT_FALSE(DrawLog(u"D:\\OUT\\A", expected).has_value());
  EXPECT_EQ(view_.logs[0].first.svg, expected.svg);
}

// --- The batch rules -------------------------------------------------------------------------

// Records what a batch reports, from whichever thread.
class RecordingBatchHost : public convert::BatchHost {
 public:
  void Started(size_t index) override {
    std::lock_guard<std::mutex> lock(mutex_);
    started.push_back(index);
  }
  int ShowMessage(size_t, std::u16string_view prompt, int, std::u16string_view) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages.emplace_back(prompt);
    return base::kAnswerYes;
  }
  void SetStatus(size_t, std::u16string_view) override {}
  void Finished(size_t, const convert::RunResult&) override {}
  std::vector<size_t> started;
  std::vector<std::u16string> messages;

 private:
  std::mutex mutex_;
};

TEST_F(SiteBatchTest, ABatchFolderRefusedBeforeItsRunTakesNoConvertedName) {
  Borehole("X/B-1", BoreholeKind::kClean);
  Borehole("Y/B-1", BoreholeKind::kClean);
  Borehole("Z/B-1", BoreholeKind::kClean);
  source::PatternTables tables(setup_.pattern_folder);
  RecordingBatchHost host;
  const convert::BatchResult result = convert::RunBatch(
      {{u"C:\\SITE\\X\\B-1", u"refused"}, {u"C:\\SITE\\Y\\B-1", {}}, {u"C:\\SITE\\Z\\B-1", {}}},
      u"D:\\OUT", tables, host, 2);
  ASSERT_EQ(result.runs.size(), 3u);
  EXPECT_EQ(result.runs[0]->outcome, convert::RunOutcome::kRefused);
  EXPECT_EQ(result.runs[1]->outcome, convert::RunOutcome::kConverted);
  // The third is refused naming the second, the first of its name that was not refused before.
  EXPECT_EQ(result.runs[2]->message,
            std::u16string(convert::kSameNameMessage) + u"\nC:\\SITE\\Y\\B-1");
  EXPECT_EQ(host.started.size(), 3u);
}

}  // namespace
}  // namespace tjvx::form
