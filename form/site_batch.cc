#include "form/site_batch.h"

#include <algorithm>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/check_report.h"
#include "form/report_and_log.h"
#include "platform/drives.h"
#include "source/code_table.h"
#include "source/source_files.h"
#include "text/natural_order.h"
#include "text/path_check.h"
#include "text/path_components.h"
#include "text/trim.h"

namespace tjvx::form {
namespace {

std::u16string Number(size_t value) { return base::FromAscii(std::to_string(value)); }

std::u16string Child(const std::u16string& folder, const std::u16string& name) {
  return folder.ends_with(u'\\') ? folder + name : folder + u"\\" + name;
}

// Whether a folder holds one of a borehole's fixed files, in any letter case.
bool HoldsBoreholeFiles(const std::u16string& folder) {
  const std::vector<std::u16string> files = platform::FileNames(folder);
  return std::any_of(files.begin(), files.end(), [](const std::u16string& name) {
    return source::FileNamed(source::SourceFolderFiles(), name).has_value();
  });
}

std::u16string_view FirstLine(std::u16string_view text) { return text.substr(0, text.find(u'\n')); }

// `text` with each line's control characters written as visible escapes, as the check's report
// writes them: a folder's name never acts on the window that shows it.
std::u16string VisibleLines(std::u16string_view text) {
  std::u16string visible;
  for (size_t start = 0;;) {
    const size_t end = text.find(u'\n', start);
    visible += convert::VisibleText(text.substr(start, end - start));
    if (end == std::u16string_view::npos) return visible;
    visible += u'\n';
    start = end + 1;
  }
}

}  // namespace

// The conversion's messages and progress as the batch reports them from its threads: each goes to
// the window's thread; only the question about a missing destination waits for its answer there.
class SiteBatchForm::ConversionHost : public convert::BatchHost {
 public:
  ConversionHost(SiteBatchForm& form, std::vector<size_t> ids, std::vector<std::u16string> names)
      : form_(form), ids_(std::move(ids)), names_(std::move(names)) {}

  bool Cancelled() override { return form_.cancel_; }
  void Started(size_t index) override {
    form_.Post([&form = form_, id = ids_[index]] { form.OnStarted(id); });
    if (form_.gate_) form_.gate_(BatchPhase::kConvert, names_[index]);
  }
  int ShowMessage(size_t, std::u16string_view prompt, int style,
                  std::u16string_view title) override {
    // A refusal or failure is the row's message; it needs no box of its own.
    if (base::MessageStyle::FromValue(style).buttons() != base::MessageButtons::kYesNo) {
      return base::kAnswerOk;
    }
    return form_.AskOnWindowThread(prompt, style, title);
  }
  void SetStatus(size_t, std::u16string_view) override {}
  void Finished(size_t index, const convert::RunResult& result) override {
    form_.Post([&form = form_, id = ids_[index], result] { form.OnFinished(id, result); });
  }

 private:
  SiteBatchForm& form_;
  const std::vector<size_t> ids_;
  const std::vector<std::u16string> names_;
};

SiteBatchForm::SiteBatchForm(SiteBatchView& view, SiteBatchSetup setup, std::function<void()> wake)
    : view_(view), setup_(std::move(setup)), wake_(std::move(wake)) {}

SiteBatchForm::~SiteBatchForm() { Stop(); }

void SiteBatchForm::Post(std::function<void()> work) {
  bool was_empty = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    was_empty = inbox_.empty();
    inbox_.push_back(std::move(work));
  }
  // One wake for a run of results: Deliver takes all that came.
  if (was_empty) wake_();
}

void SiteBatchForm::Deliver() {
  // A message box shown while delivering lets the window wake it again; the outer call goes on.
  if (delivering_) return;
  delivering_ = true;
  for (;;) {
    std::vector<std::function<void()>> work;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      work.swap(inbox_);
    }
    if (work.empty()) break;
    for (std::function<void()>& each : work) each();
  }
  delivering_ = false;
}

void SiteBatchForm::Launch(std::function<void()> work) {
  if (worker_.joinable()) worker_.join();
  try {
    worker_ = std::thread(work);
  } catch (const std::system_error&) {
    // Without a thread to be had the work is done here, and the window waits for it.
    work();
  }
}

void SiteBatchForm::Stop() {
  cancel_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (question_ != nullptr) {
      question_->set_value(base::kAnswerNo);
      question_ = nullptr;
    }
  }
  if (worker_.joinable()) worker_.join();
}

int SiteBatchForm::AskOnWindowThread(std::u16string_view prompt, int style,
                                     std::u16string_view title) {
  // Work done on the window's thread itself (no worker to be had) asks there at once.
  if (std::this_thread::get_id() == window_thread_) return view_.ShowMessage(prompt, style, title);
  // One question at a time; a question after Stop is answered No at once.
  std::lock_guard<std::mutex> one_at_a_time(asking_);
  std::promise<int> answer;
  std::future<int> reply = answer.get_future();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancel_) return base::kAnswerNo;
    question_ = &answer;
  }
  Post([this, prompt = std::u16string(prompt), style, title = std::u16string(title)] {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (question_ == nullptr) return;
    }
    const int given = view_.ShowMessage(prompt, style, title);
    std::lock_guard<std::mutex> lock(mutex_);
    if (question_ != nullptr) {
      question_->set_value(given);
      question_ = nullptr;
    }
  });
  return reply.get();
}

int SiteBatchForm::ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) {
  return view_.ShowMessage(prompt, style, title);
}

std::u16string SiteBatchForm::Title() const {
  return std::u16string(kBatchTitle) + u" - " + convert::VisibleText(setup_.site);
}

void SiteBatchForm::Start() {
  phase_ = Phase::kListing;
  view_.ShowRows({}, -1);
  view_.SetText(BatchText::kStatus, u"ボーリングのフォルダを探しています…");
  view_.SetText(BatchText::kSummary, u"");
  view_.SetText(BatchText::kDetail, u"");
  view_.SetProgress(0, 0);
  EnableButtons();
  Launch([this] { ListAndCheck(); });
}

void SiteBatchForm::ListAndCheck() {
  std::vector<Row> rows;
  for (std::u16string& name : platform::SubFolders(setup_.site)) {
    if (cancel_) return;
    std::u16string folder = Child(setup_.site, name);
    if (!HoldsBoreholeFiles(folder)) continue;
    Row row;
    row.name = std::move(name);
    row.folder = std::move(folder);
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end(),
            [](const Row& a, const Row& b) { return text::NaturalLess(a.name, b.name); });
  std::vector<std::u16string> folders, names;
  for (const Row& row : rows) {
    folders.push_back(row.folder);
    names.push_back(row.name);
  }
  Post([this, rows = std::move(rows)]() mutable { OnListed(std::move(rows)); });
  CheckAll(folders, names);
  Post([this] { OnChecksDone(); });
}

void SiteBatchForm::CheckAll(const std::vector<std::u16string>& folders,
                             const std::vector<std::u16string>& names) {
  // One set of tables for every folder: each table is read once, by the first check needing it.
  source::PatternTables tables(setup_.pattern_folder);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < folders.size() && !cancel_; i = next++) {
      if (gate_) gate_(BatchPhase::kCheck, names[i]);
      convert::CheckResult result = convert::CheckSourceFolder(folders[i], tables, true);
      Post([this, i, result = std::move(result)]() mutable { OnChecked(i, std::move(result)); });
    }
  };
  std::vector<std::thread> helpers;
  const size_t jobs = std::min<size_t>(std::max(1u, setup_.jobs), folders.size());
  for (size_t h = 1; h < jobs; ++h) {
    // Without more threads to be had, those there are check every folder.
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
}

void SiteBatchForm::OnListed(std::vector<Row> rows) {
  rows_ = std::move(rows);
  order_.clear();
  for (size_t id = 0; id < rows_.size(); ++id) order_.push_back(id);
  phase_ = Phase::kChecking;
  checked_ = 0;
  Sort();
  ShowAll();
  view_.SetProgress(0, static_cast<int>(rows_.size()));
  view_.SetText(BatchText::kStatus, u"点検中 0 / " + Number(rows_.size()));
  EnableButtons();
}

void SiteBatchForm::OnChecked(size_t id, convert::CheckResult result) {
  Row& row = rows_[id];
  // A folder whose check found an error is left out unless the user chooses it.
  if (!row.touched) row.ticked = result.Status() < 2;
  row.check = std::move(result);
  ++checked_;
  ShowOne(id);
  view_.SetProgress(static_cast<int>(checked_), static_cast<int>(rows_.size()));
  view_.SetText(BatchText::kStatus, u"点検中 " + Number(checked_) + u" / " + Number(rows_.size()));
  if (selected_ == id) ShowSelection();
  EnableButtons();
}

void SiteBatchForm::OnChecksDone() {
  if (worker_.joinable()) worker_.join();
  phase_ = Phase::kIdle;
  view_.SetText(BatchText::kStatus, u"");
  ShowCheckSummary();
  EnableButtons();
}

void SiteBatchForm::ShowCheckSummary() {
  if (rows_.empty()) {
    view_.SetText(BatchText::kSummary, kNoBoreholesMessage);
    return;
  }
  size_t counts[3] = {0, 0, 0};
  for (const Row& row : rows_) {
    if (row.check) ++counts[row.check->Status()];
  }
  view_.SetText(BatchText::kSummary, Number(rows_.size()) + u" 件を点検: エラーあり " +
                                         Number(counts[2]) + u"、警告あり " + Number(counts[1]) +
                                         u"、問題なし " + Number(counts[0]));
}

void SiteBatchForm::OnConvertClicked() {
  if (busy()) return;
  std::vector<size_t> ids;
  for (size_t id : order_) {
    if (rows_[id].ticked) ids.push_back(id);
  }
  if (ids.empty()) return;
  // The destination is checked once, here, as the run checks it: its messages come once, not once
  // for each folder.
  const std::u16string destination = text::ResolvePath(setup_.destination);
  std::u16string checked = destination;
  if (!text::CheckPath(checked, *this, false)) {
    ShowMessage(convert::kBadPathMessage, base::kMsgExclamation, destination);
    return;
  }
  if (text::Trim(destination).empty()) {
    ShowMessage(convert::kNoDestinationMessage, base::kMsgOk, {});
    return;
  }
  destination_ = checked;

  std::vector<convert::BatchFolder> folders;
  std::vector<std::u16string> names;
  for (Row& row : rows_) {
    row.outcome = Outcome::kNone;
    row.message.clear();
    row.converted_file.clear();
  }
  for (size_t id : ids) {
    rows_[id].outcome = Outcome::kWaiting;
    folders.push_back({rows_[id].folder, std::nullopt});
    names.push_back(rows_[id].name);
  }
  phase_ = Phase::kConverting;
  cancel_ = false;
  cancelling_ = false;
  converting_total_ = ids.size();
  converting_done_ = 0;
  ShowAll();
  view_.SetProgress(0, static_cast<int>(converting_total_));
  view_.SetText(BatchText::kSummary, u"");
  EnableButtons();
  Launch([this, folders = std::move(folders), ids = std::move(ids), names = std::move(names)] {
    // One set of tables for the whole batch, read afresh as the run button reads them.
    source::PatternTables tables(setup_.pattern_folder);
    ConversionHost host(*this, ids, names);
    const convert::BatchResult result =
        convert::RunBatch(folders, destination_, tables, host, setup_.jobs);
    Post([this, synced = result.synced] { OnConversionDone(synced); });
  });
}

void SiteBatchForm::OnStarted(size_t id) {
  rows_[id].outcome = Outcome::kConverting;
  ShowOne(id);
  if (!cancelling_) {
    view_.SetText(BatchText::kStatus, u"変換中: " + convert::VisibleText(rows_[id].name));
  }
}

void SiteBatchForm::OnFinished(size_t id, const convert::RunResult& result) {
  Row& row = rows_[id];
  row.message = result.message;
  switch (result.outcome) {
    case convert::RunOutcome::kConverted:
      row.outcome = Outcome::kConverted;
      row.converted_file = result.converted_file;
      if (result.warnings > 0) row.message = convert::WarningsLine(result.warnings);
      // Registered as the run button registers its site.
      if (setup_.registry != nullptr) {
        const std::u16string_view file = result.converted_file;
        const std::u16string_view name = base::LastName(file);
        setup_.registry->Register(name, file.substr(0, file.size() - name.size() - 1));
      }
      break;
    case convert::RunOutcome::kRefused:
      // No to the question about the destination leaves every folder as it was.
      if (result.message == convert::kCreateFolderQuestion) {
        row.outcome = Outcome::kNotConverted;
        row.message.clear();
      } else {
        row.outcome = Outcome::kRefused;
      }
      break;
    case convert::RunOutcome::kFailed:
      row.outcome = Outcome::kFailed;
      break;
  }
  ++converting_done_;
  ShowOne(id);
  view_.SetProgress(static_cast<int>(converting_done_), static_cast<int>(converting_total_));
  if (selected_ == id) ShowSelection();
}

void SiteBatchForm::OnConversionDone(bool synced) {
  if (worker_.joinable()) worker_.join();
  for (size_t id = 0; id < rows_.size(); ++id) {
    if (rows_[id].outcome == Outcome::kWaiting) {
      rows_[id].outcome = Outcome::kNotConverted;
      ShowOne(id);
    }
  }
  phase_ = Phase::kIdle;
  view_.SetText(BatchText::kStatus, cancelling_ ? u"中止しました。" : u"");
  cancelling_ = false;
  ShowConversionSummary();
  ShowSelection();
  EnableButtons();
  if (!synced) {
    ShowMessage(u"変換したファイルをディスクに確実に書き込めませんでした。\n" +
                    convert::VisibleText(destination_),
                base::kMsgExclamation, {});
  }
}

void SiteBatchForm::ShowConversionSummary() {
  size_t converted = 0, refused = 0, failed = 0, left = 0;
  for (const Row& row : rows_) {
    converted += row.outcome == Outcome::kConverted;
    refused += row.outcome == Outcome::kRefused;
    failed += row.outcome == Outcome::kFailed;
    left += row.outcome == Outcome::kNotConverted;
  }
  view_.SetText(BatchText::kSummary, u"変換済 " + Number(converted) + u" 件、拒否 " +
                                         Number(refused) + u" 件、失敗 " + Number(failed) +
                                         u" 件、未変換 " + Number(left) + u" 件");
}

void SiteBatchForm::OnCancelClicked() {
  if (phase_ != Phase::kConverting || cancelling_) return;
  cancel_ = true;
  cancelling_ = true;
  view_.SetText(BatchText::kStatus, u"中止しています… (変換中のフォルダは最後まで変換されます)");
  EnableButtons();
}

void SiteBatchForm::SetTick(size_t id, bool ticked) {
  rows_[id].ticked = ticked;
  rows_[id].touched = true;
}

void SiteBatchForm::OnTickChanged(int position, bool ticked) {
  if (position < 0 || static_cast<size_t>(position) >= order_.size()) return;
  const size_t id = order_[static_cast<size_t>(position)];
  // While converting, the choice is fixed: the box shows it again.
  if (phase_ != Phase::kConverting) SetTick(id, ticked);
  ShowOne(id);
  EnableButtons();
}

void SiteBatchForm::OnSelectAllClicked() {
  if (phase_ == Phase::kConverting) return;
  for (size_t id = 0; id < rows_.size(); ++id) SetTick(id, true);
  ShowAll();
  EnableButtons();
}

void SiteBatchForm::OnSelectNoneClicked() {
  if (phase_ == Phase::kConverting) return;
  for (size_t id = 0; id < rows_.size(); ++id) SetTick(id, false);
  ShowAll();
  EnableButtons();
}

void SiteBatchForm::OnSortClicked(BatchColumn column) {
  const SortKey key = column == BatchColumn::kFolder ? SortKey::kName
                      : column == BatchColumn::kOutcome || column == BatchColumn::kMessage
                          ? SortKey::kOutcome
                          : SortKey::kResult;
  descending_ = key == sort_ ? !descending_ : false;
  sort_ = key;
  Sort();
  ShowAll();
}

void SiteBatchForm::Sort() {
  // The worst first: errors, then warnings, each by its count, then clean rows, then those whose
  // check has not come; failures, refusals and unconverted rows before converted ones. Rows of one
  // rank keep the natural order of their names whichever way the column is sorted.
  auto result_rank = [](const Row& row) {
    if (!row.check) return std::tuple<int, long long, long long>(3, 0, 0);
    const long long errors = static_cast<long long>(row.check->Count(base::Severity::kError));
    const long long warnings = static_cast<long long>(row.check->Count(base::Severity::kWarning));
    return std::tuple<int, long long, long long>(2 - row.check->Status(), -errors, -warnings);
  };
  auto outcome_rank = [](const Row& row) {
    switch (row.outcome) {
      case Outcome::kFailed:
        return 0;
      case Outcome::kRefused:
        return 1;
      case Outcome::kNotConverted:
        return 2;
      case Outcome::kConverting:
        return 3;
      case Outcome::kWaiting:
        return 4;
      case Outcome::kConverted:
        return 5;
      case Outcome::kNone:
        break;
    }
    return 6;
  };
  std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
    const Row& x = rows_[a];
    const Row& y = rows_[b];
    if (sort_ == SortKey::kResult && result_rank(x) != result_rank(y)) {
      return descending_ ? result_rank(y) < result_rank(x) : result_rank(x) < result_rank(y);
    }
    if (sort_ == SortKey::kOutcome && outcome_rank(x) != outcome_rank(y)) {
      return descending_ ? outcome_rank(y) < outcome_rank(x) : outcome_rank(x) < outcome_rank(y);
    }
    const bool by_name_reversed = sort_ == SortKey::kName && descending_;
    return by_name_reversed ? text::NaturalLess(y.name, x.name) : text::NaturalLess(x.name, y.name);
  });
}

void SiteBatchForm::OnRowSelected(int position) {
  if (position < 0 || static_cast<size_t>(position) >= order_.size()) {
    selected_.reset();
  } else {
    selected_ = order_[static_cast<size_t>(position)];
  }
  ShowSelection();
  EnableButtons();
}

void SiteBatchForm::OnReportClicked() {
  if (!selected_ || !rows_[*selected_].check) return;
  view_.ShowCheckReport(ReportOf(*rows_[*selected_].check));
}

void SiteBatchForm::OnShowLogClicked() {
  if (!selected_ || rows_[*selected_].outcome != Outcome::kConverted) return;
  const std::u16string file = rows_[*selected_].converted_file;
  LogDrawing log;
  if (const std::optional<std::u16string> failure = DrawLog(file, log)) {
    ShowMessage(*failure, base::kMsgExclamation, {});
    return;
  }
  view_.ShowLog(log, base::LastName(file));
}

BatchRow SiteBatchForm::ShownRow(const Row& row) const {
  BatchRow shown;
  shown.ticked = row.ticked;
  auto cell = [&](BatchColumn column) -> std::u16string& {
    return shown.cells[static_cast<size_t>(column)];
  };
  cell(BatchColumn::kFolder) = convert::VisibleText(row.name);
  if (row.check) {
    cell(BatchColumn::kErrors) = Number(row.check->Count(base::Severity::kError));
    cell(BatchColumn::kWarnings) = Number(row.check->Count(base::Severity::kWarning));
    cell(BatchColumn::kNotices) = Number(row.check->Count(base::Severity::kNotice));
    const int status = row.check->Status();
    shown.mark = status == 2 ? RowMark::kError : status == 1 ? RowMark::kWarning : RowMark::kClean;
    if (status > 0) {
      shown.colours =
          ReportRowColours(status == 2 ? base::Severity::kError : base::Severity::kWarning);
    }
  } else {
    cell(BatchColumn::kErrors) = u"点検中";
    shown.colours.text = kPendingRowText;
  }
  static constexpr std::u16string_view kOutcomeTexts[] = {u"",     u"待機中", u"変換中", u"変換済",
                                                          u"拒否", u"失敗",   u"未変換"};
  cell(BatchColumn::kOutcome) = kOutcomeTexts[static_cast<size_t>(row.outcome)];
  cell(BatchColumn::kMessage) = convert::VisibleText(FirstLine(row.message));
  return shown;
}

std::u16string SiteBatchForm::DetailOf(const Row& row) const {
  std::u16string detail = convert::VisibleText(row.folder) + u"\n";
  if (row.check) {
    detail += convert::CountsLine(row.folder, *row.check);
    if (row.check->stop) detail += u"\n" + convert::StopLines(*row.check);
  } else {
    detail += u"点検中";
  }
  switch (row.outcome) {
    case Outcome::kConverted:
      detail += u"\n変換済: " + convert::VisibleText(row.converted_file);
      if (!row.message.empty()) detail += u"\n" + row.message;
      break;
    case Outcome::kRefused:
      detail += u"\n拒否: " + VisibleLines(row.message);
      break;
    case Outcome::kFailed:
      detail += u"\n失敗: " + VisibleLines(row.message);
      break;
    case Outcome::kNotConverted:
      detail += u"\n未変換";
      break;
    default:
      break;
  }
  return detail;
}

std::vector<BatchRow> SiteBatchForm::Rows() const {
  std::vector<BatchRow> shown;
  for (size_t id : order_) shown.push_back(ShownRow(rows_[id]));
  return shown;
}

int SiteBatchForm::PositionOf(size_t id) const {
  return static_cast<int>(std::find(order_.begin(), order_.end(), id) - order_.begin());
}

void SiteBatchForm::ShowAll() { view_.ShowRows(Rows(), selected_ ? PositionOf(*selected_) : -1); }

void SiteBatchForm::ShowOne(size_t id) { view_.ShowRow(PositionOf(id), ShownRow(rows_[id])); }

void SiteBatchForm::ShowSelection() {
  view_.SetText(BatchText::kDetail, selected_ ? DetailOf(rows_[*selected_]) : u"");
}

void SiteBatchForm::EnableButtons() {
  const bool converting = phase_ == Phase::kConverting;
  const bool any_ticked =
      std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.ticked; });
  const Row* selected = selected_ ? &rows_[*selected_] : nullptr;
  view_.EnableButton(BatchButton::kSelectAll, !converting && !rows_.empty());
  view_.EnableButton(BatchButton::kSelectNone, !converting && !rows_.empty());
  view_.EnableButton(BatchButton::kConvert, phase_ == Phase::kIdle && any_ticked);
  view_.EnableButton(BatchButton::kCancel, converting && !cancelling_);
  view_.EnableButton(BatchButton::kReport, selected != nullptr && selected->check.has_value());
  view_.EnableButton(BatchButton::kShowLog,
                     selected != nullptr && selected->outcome == Outcome::kConverted);
}

}  // namespace tjvx::form
