// The report of the site dialog: its logic over a site folder of small boreholes, driven as a
// window drives it, listed and checked, then converted.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "base/message_host.h"
#include "base/utf.h"
#include "bench/bench_support.h"
#include "bench/borehole_generator.h"
#include "bench/reports.h"
#include "form/site_batch.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

// The site dialog as the bench sees it: it only counts what is shown.
class CountingView : public form::SiteBatchView {
 public:
  void ShowRows(const std::vector<form::BatchRow>& shown, int) override { rows = shown.size(); }
  void ShowRow(int, const form::BatchRow&) override { ++row_updates; }
  void SetText(form::BatchText text, std::u16string_view value) override {
    if (text == form::BatchText::kSummary) summary = value;
  }
  void SetProgress(int, int) override {}
  void EnableButton(form::BatchButton, bool) override {}
  int ShowMessage(std::u16string_view prompt, int, std::u16string_view) override {
    std::fprintf(stderr, "tjvx_bench: %s\n", base::ToUtf8(prompt).c_str());
    return base::kAnswerYes;
  }
  void ShowCheckReport(const form::CheckReport&) override {}
  bool ShowLog(const form::LogDrawing&, std::u16string_view) override { return false; }
  size_t rows = 0;
  size_t row_updates = 0;
  std::u16string summary;
};

}  // namespace

int ReportSite(int count, int records, int jobs) {
  const fs::path work = MakeWork(fs::temp_directory_path());
  MapDrives(work);
  WriteSamplePattern(work / "d" / "DOZORA");
  for (int i = 1; i <= count; ++i) {
    WriteSyntheticBorehole(work / "c" / "SITE" / ("B-" + std::to_string(i)), records);
  }
  CountingView view;
  form::SiteBatchSetup setup;
  setup.site = u"C:\\SITE";
  setup.destination = u"D:\\OUT";
  setup.pattern_folder = u"D:\\DOZORA\\";
  setup.jobs = static_cast<unsigned>(jobs);
  // The window's thread: woken by the workers, it delivers what they sent.
  std::mutex mutex;
  std::condition_variable woken;
  bool wake = false;
  form::SiteBatchForm logic(view, setup, [&] {
    std::lock_guard<std::mutex> lock(mutex);
    wake = true;
    woken.notify_one();
  });
  // From `start` until the logic is idle again.
  auto deliver_until_idle = [&](std::chrono::steady_clock::time_point start) {
    do {
      std::unique_lock<std::mutex> lock(mutex);
      woken.wait_for(lock, std::chrono::milliseconds(100), [&] { return wake; });
      wake = false;
      lock.unlock();
      logic.Deliver();
    } while (logic.busy());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  auto start = std::chrono::steady_clock::now();
  logic.Start();
  const double checked = deliver_until_idle(start);
  const std::u16string checked_summary = view.summary;
  start = std::chrono::steady_clock::now();
  logic.OnConvertClicked();
  const double converted = deliver_until_idle(start);
  const auto written = std::distance(fs::directory_iterator(work / "d" / "OUT"), {});
  fs::remove_all(work);
  const bool ok = view.rows == static_cast<size_t>(count) && written == count;
  const double scale = count / 200.0;  // the targets are for 200 boreholes
  std::printf("site dialog: %d boreholes of %d records per file, %d jobs\n", count, records, jobs);
  std::printf("  listed and checked: %.3f s (target %.1f s: %s)  %s\n", checked, 3.0 * scale,
              Verdict(checked <= 3.0 * scale), base::ToUtf8(checked_summary).c_str());
  std::printf("  converted:          %.3f s (target %.1f s: %s)  %s\n", converted, 2.0 * scale,
              Verdict(converted <= 2.0 * scale), base::ToUtf8(view.summary).c_str());
  std::printf("  rows %zu, row updates %zu, files written %ld%s\n", view.rows, view.row_updates,
              static_cast<long>(written), ok ? "" : "  FAILED");
  return ok ? 0 : 1;
}

}  // namespace tjvx::bench
