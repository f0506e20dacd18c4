// tjvx_bench: the speed and memory of the conversion, against the floor of the same borehole.
//
//   tjvx_bench [--records N] [--repeats K]   (K defaults to 10)
//       One report for a synthetic borehole of N records per source file (default 20000): the
//       time of one whole conversion; the floor (read and CP932-decode every input file, encode
//       and write the converted file's bytes) measured in this process; their ratio; the peak
//       memory of a conversion in a fresh process; and the time at N/16, N/4 and N records.
//   tjvx_bench --batch COUNT --tjvx PROGRAM [--records N] [--jobs J]
//       COUNT boreholes of N records per file (default 50) converted by one
//       `PROGRAM convert ... --jobs J` (default: the number of cores); boreholes per second.
//   tjvx_bench --site COUNT [--records N] [--jobs J]
//       The site dialog's logic over a site folder of COUNT boreholes of N records per file
//       (default 50), as a window drives it: the time from opening until every folder is listed
//       and checked (target 3 s for 200), and from 変換 until every one is converted (target 2 s).
//   tjvx_bench --once convert|floor [--records N]
//       One conversion with one thread, or the floor, of the borehole of N records per file
//       (default 5000), made in MeasuredStep after a conversion has built the code page tables:
//       for counting instructions, `valgrind --tool=callgrind --toggle-collect='*MeasuredStep*'`.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "bench/borehole_generator.h"
#include "convert/line_sink.h"
#include "convert/run.h"
#include "drawing/log_layout.h"
#include "drawing/svg.h"
#include "form/site_batch.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// Converts C:\<name> into D:\OUT and answers Yes to every question.
class QuietHost : public convert::RunHost {
 public:
  explicit QuietHost(std::u16string source) : source_(std::move(source)) {}
  std::u16string SourceFolder() override { return source_; }
  std::u16string Destination() override { return u"D:\\OUT"; }
  void SetStatus(std::u16string_view) override {}
  void FocusDestination() override {}
  void SetPointer(int) override {}
  int ShowMessage(std::u16string_view prompt, int, std::u16string_view) override {
    std::fprintf(stderr, "tjvx_bench: %s\n", base::ToUtf8(prompt).c_str());
    return base::kAnswerYes;
  }

 private:
  std::u16string source_;
};

// C: and D: mapped to <work>/c and <work>/d.
void MapDrives(const fs::path& work) {
  platform::DriveTable table;
  table.Map(u'C', work / "c");
  table.Map(u'D', work / "d");
  platform::SetDrives(table);
}

std::u16string BoreholeName(int records) {
  std::string name = "B";
  name += std::to_string(records);
  return base::FromAscii(name);
}

// One conversion as the window and a single-borehole command line make it (two threads), or as
// each run of a batch does (one).
void ConvertOnce(int records, convert::RunThreads threads = convert::RunThreads::kTwo) {
  source::PatternTables tables(u"D:\\DOZORA\\");
  QuietHost host(u"C:\\" + BoreholeName(records));
  convert::RunResult result = convert::RunConversion(host, tables, nullptr, threads);
  if (result.outcome != convert::RunOutcome::kConverted) {
    std::fprintf(stderr, "tjvx_bench: the conversion failed: %s\n",
                 base::ToUtf8(result.message).c_str());
    std::exit(1);
  }
}

// The time a run took: on the wall clock, and on the processor clock of all this process's
// threads, which leaves out the time other programs of a busy machine take from it and adds up
// the time of a run's two threads.
struct RunTime {
  double wall = 1e300;
  double cpu = 1e300;
  void KeepBest(const RunTime& other) {
    wall = std::min(wall, other.wall);
    cpu = std::min(cpu, other.cpu);
  }
};

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The shortest of `repeats` runs, in seconds.
RunTime BestTime(int repeats, const std::function<void()>& run) {
  RunTime best;
  for (int i = 0; i < repeats; ++i) {
    const double cpu_start = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best.KeepBest({took.count(), ProcessorSeconds() - cpu_start});
  }
  return best;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What any conversion of the borehole must do at least: read and decode every input file, encode
// and write the converted file's lines.
void Floor(const fs::path& work, int records, const std::vector<std::u16string>& lines) {
  for (const char* folder : {"c", "d/DOZORA"}) {
    const fs::path host =
        work / folder / (folder[0] == 'c' ? base::ToUtf8(BoreholeName(records)) : "");
    for (const auto& entry : fs::directory_iterator(host)) {
      const std::u16string path = platform::Drives().FromHost(entry.path());
      std::optional<std::string> bytes = platform::ReadFileBytes(path);
      std::u16string text = platform::DecodeCp932(*bytes, path);
      if (text.size() > bytes->size()) std::abort();
    }
  }
  convert::RecordFile out(u"D:\\OUT\\FLOOR");
  for (const std::u16string& line : lines) out.Line(line);
  out.Commit();
}

std::vector<std::u16string> ConvertedLines(const fs::path& file) {
  const std::u16string text = platform::DecodeCp932(ReadAll(file), u"converted");
  std::vector<std::u16string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The peak resident memory of this process's own image, in bytes (VmHWM). Unlike the rusage
// figure it leaves out what the process held before exec, which for a forked child is the parent.
long long OwnPeakMemory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  }
  return -1;
}

// Peak resident memory of one conversion in a fresh process (this program run again), in bytes;
// the child reports it through a pipe.
long long PeakMemory(const fs::path& work, int records) {
  int report[2];
  if (pipe(report) != 0) {
    std::perror("tjvx_bench: pipe");
    std::exit(1);
  }
  pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    dup2(report[1], STDOUT_FILENO);
    std::string records_text = std::to_string(records);
    execl("/proc/self/exe", "tjvx_bench", "--convert-once", work.c_str(), records_text.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(report[1]);
  std::string text;
  char buffer[64];
  for (ssize_t n; (n = read(report[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(report[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
    std::fprintf(stderr, "tjvx_bench: the measuring process failed\n");
    std::exit(1);
  }
  return std::stoll(text);
}

fs::path MakeWork() {
  std::random_device random;
  fs::path work = fs::temp_directory_path() / ("tjvx-bench-" + std::to_string(random()));
  fs::create_directories(work / "c");
  fs::create_directories(work / "d" / "OUT");
  return work;
}

int Report(int records, int repeats) {
  const fs::path work = MakeWork();
  MapDrives(work);
  const std::uintmax_t pattern_bytes = WriteSamplePattern(work / "d" / "DOZORA");
  const int sizes[] = {std::max(1, records / 16), std::max(1, records / 4), records};
  std::uintmax_t input_bytes[3];
  for (int k = 0; k < 3; ++k) {
    input_bytes[k] =
        WriteSyntheticBorehole(work / "c" / base::ToUtf8(BoreholeName(sizes[k])), sizes[k]) +
        pattern_bytes;
  }
  ConvertOnce(sizes[0]);  // builds the code page tables once, outside every measurement

  RunTime times[3];
  for (int k = 0; k < 2; ++k) times[k] = BestTime(repeats, [&] { ConvertOnce(sizes[k]); });
  ConvertOnce(sizes[2]);
  const fs::path converted = work / "d" / "OUT" / base::ToUtf8(BoreholeName(records));
  const std::uintmax_t output_bytes = fs::file_size(converted);
  const std::vector<std::u16string> lines = ConvertedLines(converted);
  // The conversion and its floor take turns, so a change in the machine's load between them
  // does not tilt their ratio; the best of each counts.
  // The log drawing takes its turn with them too: reading the converted file back and laying it
  // out (what the log button and `tjvx preview` do before writing), against one conversion.
  RunTime floor, one_thread, drawing;
  for (int i = 0; i < repeats; ++i) {
    times[2].KeepBest(BestTime(1, [&] { ConvertOnce(sizes[2]); }));
    one_thread.KeepBest(BestTime(1, [&] { ConvertOnce(sizes[2], convert::RunThreads::kOne); }));
    floor.KeepBest(BestTime(1, [&] { Floor(work, records, lines); }));
    drawing.KeepBest(BestTime(1, [&] {
      drawing::LayOutLogAt(u"D:\\OUT\\" + BoreholeName(sizes[2]), drawing::LayoutOptions{});
    }));
  }
  const long long peak = PeakMemory(work, records);

  // The SVG's size at each size.
  double svg_bytes[3];
  for (int k = 0; k < 3; ++k) {
    svg_bytes[k] = static_cast<double>(
        drawing::WriteSvg(
            drawing::LayOutLogAt(u"D:\\OUT\\" + BoreholeName(sizes[k]), drawing::LayoutOptions{}))
            .size());
  }
  fs::remove_all(work);

  const double input = static_cast<double>(input_bytes[2]);
  const double peak_limit = 4.0 * input + 32.0 * kMiB;
  std::printf(
      "borehole: %d records per source file, input %.1f MiB, converted file %.1f MiB "
      "(%zu lines)\n",
      records, input / kMiB, output_bytes / kMiB, lines.size());
  std::printf(
      "                       wall clock   processor   (best of %d; processor: all threads)\n",
      repeats);
  std::printf(
      "conversion:            %8.3f s   %8.3f s   (two threads: the window, one borehole)\n",
      times[2].wall, times[2].cpu);
  std::printf("conversion, 1 thread:  %8.3f s   %8.3f s   (each run of a batch)\n", one_thread.wall,
              one_thread.cpu);
  std::printf(
      "floor:                 %8.3f s   %8.3f s   (read + decode inputs, encode + write output)\n",
      floor.wall, floor.cpu);
  const double ratio = times[2].wall / floor.wall;
  std::printf("conversion/floor:      %8.2f                 target <= 3  %s\n", ratio,
              ratio <= 3.0 ? "met" : "MISSED");
  std::printf("  the same, 1 thread:  %8.2f     %8.2f\n", one_thread.wall / floor.wall,
              one_thread.cpu / floor.cpu);
  std::printf("  processor time, two threads / floor: %.2f\n", times[2].cpu / floor.cpu);
  std::printf("peak memory:       %8.1f MiB target <= %.1f MiB (4 x input + 32 MiB)  %s\n",
              peak / kMiB, peak_limit / kMiB, peak <= peak_limit ? "met" : "MISSED");
  // Both run on one thread; the processor time leaves out what other programs take.
  const double drawing_ratio = drawing.cpu / one_thread.cpu;
  std::printf(
      "log drawing (read back + lay out): %8.3f s   %8.3f s   %.2f x one conversion (1 thread, "
      "processor)  target <= 1  %s\n",
      drawing.wall, drawing.cpu, drawing_ratio, drawing_ratio <= 1.0 ? "met" : "MISSED");
  std::printf("  SVG: %.0f / %.0f / %.0f bytes per record at 1x / 4x / 16x the records\n",
              svg_bytes[0] / sizes[0], svg_bytes[1] / sizes[1], svg_bytes[2] / sizes[2]);
  std::printf("scaling:  1x %6d records %8.3f s\n", sizes[0], times[0].wall);
  std::printf("          4x %6d records %8.3f s  (%.2f x the time)\n", sizes[1], times[1].wall,
              times[1].wall / times[0].wall);
  std::printf("         16x %6d records %8.3f s  (%.2f x the time)  target <= 20  %s\n", sizes[2],
              times[2].wall, times[2].wall / times[0].wall,
              times[2].wall <= 20.0 * times[0].wall ? "met" : "MISSED");
  return 0;
}

// The one step a callgrind run counts (see --once); kept out of line so that its name shows.
[[gnu::noinline]] void MeasuredStep(const std::function<void()>& step) { step(); }

int Once(const std::string& what, int records) {
  if (what != "convert" && what != "floor") {
    std::fprintf(stderr, "tjvx_bench: --once takes convert or floor\n");
    return 2;
  }
  const fs::path work = MakeWork();
  MapDrives(work);
  WriteSamplePattern(work / "d" / "DOZORA");
  WriteSyntheticBorehole(work / "c" / base::ToUtf8(BoreholeName(records)), records);
  ConvertOnce(records, convert::RunThreads::kOne);
  const std::vector<std::u16string> lines =
      ConvertedLines(work / "d" / "OUT" / base::ToUtf8(BoreholeName(records)));
  if (what == "convert") {
    MeasuredStep([&] { ConvertOnce(records, convert::RunThreads::kOne); });
  } else {
    MeasuredStep([&] { Floor(work, records, lines); });
  }
  fs::remove_all(work);
  return 0;
}

int Batch(int count, int records, int jobs, const std::string& program) {
  const fs::path work = MakeWork();
  WriteSamplePattern(work / "d" / "DOZORA");
  std::vector<std::string> arguments = {program, "convert"};
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "B%04d", i);
    WriteSyntheticBorehole(work / "c" / name, records);
    arguments.push_back((work / "c" / name).string());
  }
  arguments.push_back((work / "d" / "OUT").string());
  for (std::string option :
       std::vector<std::string>{"--pattern", (work / "d" / "DOZORA").string(), "--yes", "--quiet",
                                "--jobs", std::to_string(jobs)}) {
    arguments.push_back(option);
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const auto converted = std::distance(fs::directory_iterator(work / "d" / "OUT"), {});
  fs::remove_all(work);
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && converted == count;
  std::printf(
      "batch: %d boreholes of %d records per file, --jobs %d: %.3f s, %.0f boreholes/s, "
      "%ld converted%s\n",
      count, records, jobs, took.count(), count / took.count(), static_cast<long>(converted),
      ok ? "" : "  FAILED");
  return ok ? 0 : 1;
}

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

int Site(int count, int records, int jobs) {
  const fs::path work = MakeWork();
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
              checked <= 3.0 * scale ? "met" : "MISSED", base::ToUtf8(checked_summary).c_str());
  std::printf("  converted:          %.3f s (target %.1f s: %s)  %s\n", converted, 2.0 * scale,
              converted <= 2.0 * scale ? "met" : "MISSED", base::ToUtf8(view.summary).c_str());
  std::printf("  rows %zu, row updates %zu, files written %ld%s\n", view.rows, view.row_updates,
              static_cast<long>(written), ok ? "" : "  FAILED");
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace tjvx::bench

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "--convert-once") {
    tjvx::bench::MapDrives(args[1]);
    tjvx::bench::ConvertOnce(std::stoi(args[2]));
    std::printf("%lld\n", tjvx::bench::OwnPeakMemory());
    return 0;
  }
  int records = -1, repeats = 10, batch = 0, site = 0;
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::string program, once;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--records" && has_value) {
      records = std::stoi(args[++i]);
    } else if (args[i] == "--repeats" && has_value) {
      repeats = std::stoi(args[++i]);
    } else if (args[i] == "--batch" && has_value) {
      batch = std::stoi(args[++i]);
    } else if (args[i] == "--site" && has_value) {
      site = std::stoi(args[++i]);
    } else if (args[i] == "--jobs" && has_value) {
      jobs = std::stoi(args[++i]);
    } else if (args[i] == "--tjvx" && has_value) {
      program = args[++i];
    } else if (args[i] == "--once" && has_value) {
      once = args[++i];
    } else {
      std::fprintf(stderr,
                   "usage: tjvx_bench [--records N] [--repeats K]\n"
                   "       tjvx_bench --batch COUNT --tjvx PROGRAM [--records N] [--jobs J]\n"
                   "       tjvx_bench --site COUNT [--records N] [--jobs J]\n"
                   "       tjvx_bench --once convert|floor [--records N]\n");
      return 2;
    }
  }
  if (site > 0) return tjvx::bench::Site(site, records > 0 ? records : 50, jobs);
  if (!once.empty()) return tjvx::bench::Once(once, records > 0 ? records : 5000);
  if (batch > 0) {
    if (program.empty()) {
      std::fprintf(stderr, "tjvx_bench: --batch needs --tjvx PROGRAM\n");
      return 2;
    }
    return tjvx::bench::Batch(batch, records > 0 ? records : 50, jobs, program);
  }
  return tjvx::bench::Report(records > 0 ? records : 20000, repeats);
}
