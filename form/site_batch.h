#ifndef TJVX_FORM_SITE_BATCH_H_
#define TJVX_FORM_SITE_BATCH_H_

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/message_host.h"
#include "convert/batch.h"
#include "convert/check.h"
#include "convert/run.h"
#include "convert/site_registry.h"
#include "form/site_batch_view.h"

namespace tjvx::form {

// What the main window hands the site dialog: the site folder from the source box, the
// destination box as typed, the pattern folder, and where converted sites are registered.
struct SiteBatchSetup {
  std::u16string site;  // Windows form, without a trailing "\" (a drive's root keeps it)
  std::u16string destination;
  std::u16string pattern_folder;  // with its trailing "\"
  convert::SiteRegistry* registry = nullptr;
  unsigned jobs = convert::DefaultJobs();  // folders checked or converted at the same time
};

// Which work a worker thread is about to do for a folder.
enum class BatchPhase { kCheck, kConvert };

// The site dialog's logic: the borehole folders of a site folder, each checked on worker threads
// as the check button checks one, and the ticked ones converted by the command line's batch
// rules. The workers hand their results to the window's thread: they call `wake` (from their own
// threads), and the window answers by calling Deliver on its own, which shows what came; the view
// is only ever called on the window's thread.
class SiteBatchForm : private base::MessageHost {
 public:
  // `wake` must only arrange for Deliver to be called soon on the window's thread (a queued call,
  // a posted message); it is called from the workers.
  SiteBatchForm(SiteBatchView& view, SiteBatchSetup setup, std::function<void()> wake);
  // Stops the workers first.
  ~SiteBatchForm() override;
  SiteBatchForm(const SiteBatchForm&) = delete;
  SiteBatchForm& operator=(const SiteBatchForm&) = delete;

  // The dialog's title: "一括変換 - C:\DATA\現場A".
  std::u16string Title() const;
  // Lists the site folder's borehole folders and checks each, on worker threads.
  void Start();
  // On the window's thread, when woken: shows every result the workers have handed over.
  void Deliver();
  // Starts no more folders, answers a waiting question No, and waits for the folders in flight;
  // the window calls it before it goes. Nothing is half written: a run in flight ends whole.
  void Stop();

  // The handlers of the dialog's controls; a row is given by its position in the list.
  void OnTickChanged(int position, bool ticked);
  void OnSelectAllClicked();
  void OnSelectNoneClicked();
  // A heading was clicked: the rows are sorted by that column (by name, by the check's result or
  // by the conversion's), or, when they already are, the other way round.
  void OnSortClicked(BatchColumn column);
  void OnRowSelected(int position);
  // The chosen row's check report, as the check button shows it.
  void OnReportClicked();
  // The chosen converted row's log, as the log button shows it.
  void OnShowLogClicked();
  // Converts the ticked rows into the destination.
  void OnConvertClicked();
  // Starts no more folders; those in flight go to their end, the rest stay unconverted.
  void OnCancelClicked();

  // Whether a listing, a check or a conversion is under way.
  bool busy() const { return phase_ != Phase::kIdle; }
  // The rows in their order, as shown.
  std::vector<BatchRow> Rows() const;
  // For tests: called on a worker thread before each folder is checked or converted (`name` is
  // the folder's name), so a test can hold the work at a gate.
  void SetGate(std::function<void(BatchPhase phase, const std::u16string& name)> gate) {
    gate_ = std::move(gate);
  }

 private:
  enum class Phase { kIdle, kListing, kChecking, kConverting };
  enum class Outcome { kNone, kWaiting, kConverting, kConverted, kRefused, kFailed, kNotConverted };
  enum class SortKey { kName, kResult, kOutcome };
  struct Row {
    std::u16string name;
    std::u16string folder;
    std::optional<convert::CheckResult> check;
    bool ticked = false;
    bool touched = false;  // ticked or unticked by the user: the check's default no longer applies
    Outcome outcome = Outcome::kNone;
    std::u16string message;
    std::u16string converted_file;
  };
  class ConversionHost;

  // Hands `work` to the window's thread.
  void Post(std::function<void()> work);
  // Runs `work` on a worker thread of its own (the one worker of a listing, check or conversion).
  void Launch(std::function<void()> work);
  // On a worker: asks a Yes/No question on the window's thread and waits for the answer.
  int AskOnWindowThread(std::u16string_view prompt, int style, std::u16string_view title);
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override;

  // The worker's steps, and what the window's thread does with their results.
  void ListAndCheck();
  void CheckAll(const std::vector<std::u16string>& folders,
                const std::vector<std::u16string>& names);
  void OnListed(std::vector<Row> rows);
  void OnChecked(size_t id, convert::CheckResult result);
  void OnChecksDone();
  void OnStarted(size_t id);
  void OnFinished(size_t id, const convert::RunResult& result);
  void OnConversionDone(bool synced);

  BatchRow ShownRow(const Row& row) const;
  std::u16string DetailOf(const Row& row) const;
  void ShowAll();
  void ShowOne(size_t id);
  int PositionOf(size_t id) const;
  void Sort();
  void ShowSelection();
  void EnableButtons();
  void SetTick(size_t id, bool ticked);
  void ShowCheckSummary();
  void ShowConversionSummary();

  SiteBatchView& view_;
  const SiteBatchSetup setup_;
  const std::function<void()> wake_;
  const std::thread::id window_thread_ = std::this_thread::get_id();  // the one that made it
  std::function<void(BatchPhase, const std::u16string&)> gate_;

  // The window's thread only.
  Phase phase_ = Phase::kIdle;
  std::vector<Row> rows_;
  std::vector<size_t> order_;  // the rows' ids in the order shown
  SortKey sort_ = SortKey::kName;
  bool descending_ = false;
  std::optional<size_t> selected_;
  size_t checked_ = 0;
  size_t converting_total_ = 0;
  size_t converting_done_ = 0;
  std::vector<size_t> batch_ids_;  // the rows of the conversion, in the batch's order
  std::u16string destination_;     // the destination as the path check left it
  bool delivering_ = false;
  bool cancelling_ = false;

  // Shared with the workers.
  std::mutex mutex_;
  std::mutex asking_;  // held by the worker whose question is on the window's thread
  std::vector<std::function<void()>> inbox_;
  std::promise<int>* question_ = nullptr;
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_SITE_BATCH_H_
