// The report of one borehole: a conversion against its floor, memory, drawing and scaling.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "bench/bench_support.h"
#include "bench/borehole_generator.h"
#include "bench/reports.h"
#include "convert/run.h"
#include "drawing/log_layout.h"
#include "drawing/svg.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

// The records per file at which instructions are counted.
constexpr int kCountedRecords = 5000;

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

std::u16string BoreholeName(int records) { return base::FromAscii("B" + std::to_string(records)); }

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

// What any conversion of the borehole must do at least: read and decode every input file, encode
// and write the converted file's lines.
void Floor(const fs::path& work, int records, const std::vector<std::u16string>& lines) {
  ReadAndDecodeFolder(work / "c" / base::ToUtf8(BoreholeName(records)));
  ReadAndDecodeFolder(work / "d" / "DOZORA");
  WriteLines(u"D:\\OUT\\FLOOR", lines);
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

// Peak resident memory of one conversion in a fresh process (this program run again), in bytes.
long long PeakMemory(const fs::path& work, int records) {
  std::string output;
  const int status = RunProgram(
      {"/proc/self/exe", "--convert-once", work.string(), std::to_string(records)}, &output);
  if (status != 0 || output.empty()) {
    std::fprintf(stderr, "tjvx_bench: the measuring process failed\n");
    std::exit(1);
  }
  return std::stoll(output);
}

// Instructions of `tjvx_bench --once what`, counted by callgrind; none without valgrind.
std::optional<double> CountedInstructions(const std::string& what) {
  std::string output;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::nullopt;
  const int status = RunProgram({"valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                                 "--toggle-collect=*MeasuredStep*", self.string(), "--once", what,
                                 "--records", std::to_string(kCountedRecords)},
                                &output);
  const size_t at = output.find("Collected : ");
  if (status != 0 || at == std::string::npos) return std::nullopt;
  return std::strtod(output.c_str() + at + 12, nullptr);
}

// The boreholes of a report: 1/16, 1/4 and all of the records, with their input's size.
struct Boreholes {
  fs::path work;
  int sizes[3];
  double input_bytes[3];
};

Boreholes WriteBoreholes(int records) {
  Boreholes b{MakeWork(fs::temp_directory_path()),
              {std::max(1, records / 16), std::max(1, records / 4), records},
              {}};
  MapDrives(b.work);
  const std::uintmax_t pattern_bytes = WriteSamplePattern(b.work / "d" / "DOZORA");
  for (int k = 0; k < 3; ++k) {
    const fs::path folder = b.work / "c" / base::ToUtf8(BoreholeName(b.sizes[k]));
    b.input_bytes[k] =
        static_cast<double>(WriteSyntheticBorehole(folder, b.sizes[k]) + pattern_bytes);
  }
  return b;
}

struct Timings {
  RunTime sizes[3];  // two threads, at each size
  RunTime one_thread, floor, drawing;
};

// The conversion, the one-thread conversion, the floor and the drawing take turns, so that a
// change in the machine's load between them does not tilt their ratios; the best of each counts.
// The drawing is what the log button and `tjvx preview` do before writing: the converted file
// read back and laid out.
Timings TimeRuns(const Boreholes& b, const std::vector<std::u16string>& lines, int repeats) {
  Timings t;
  for (int k = 0; k < 2; ++k) t.sizes[k] = BestTime(repeats, [&] { ConvertOnce(b.sizes[k]); });
  const int records = b.sizes[2];
  for (int i = 0; i < repeats; ++i) {
    t.sizes[2].KeepBest(BestTime(1, [&] { ConvertOnce(records); }));
    t.one_thread.KeepBest(BestTime(1, [&] { ConvertOnce(records, convert::RunThreads::kOne); }));
    t.floor.KeepBest(BestTime(1, [&] { Floor(b.work, records, lines); }));
    t.drawing.KeepBest(BestTime(1, [&] {
      drawing::LayOutLogAt(u"D:\\OUT\\" + BoreholeName(records), drawing::LayoutOptions{});
    }));
  }
  return t;
}

void PrintTimes(const Timings& t, int repeats) {
  std::printf(
      "                       wall clock   processor   (best of %d; processor: all threads)\n",
      repeats);
  std::printf(
      "conversion:            %8.3f s   %8.3f s   (two threads: the window, one borehole)\n",
      t.sizes[2].wall, t.sizes[2].cpu);
  std::printf("conversion, 1 thread:  %8.3f s   %8.3f s   (each run of a batch)\n",
              t.one_thread.wall, t.one_thread.cpu);
  std::printf(
      "floor:                 %8.3f s   %8.3f s   (read + decode inputs, encode + write output)\n",
      t.floor.wall, t.floor.cpu);
  const double two = t.sizes[2].wall / t.floor.wall, one = t.one_thread.wall / t.floor.wall;
  std::printf("conversion/floor:      %8.2f                 target <= 1.5  %s\n", two,
              Verdict(two <= 1.5));
  std::printf("  the same, 1 thread:  %8.2f                 target <= 2.5  %s\n", one,
              Verdict(one <= 2.5));
  std::printf("  processor time / floor: two threads %.2f, one thread %.2f\n",
              t.sizes[2].cpu / t.floor.cpu, t.one_thread.cpu / t.floor.cpu);
}

void PrintInstructions() {
  const std::optional<double> convert = CountedInstructions("convert");
  const std::optional<double> floor = CountedInstructions("floor");
  if (!convert || !floor) {
    std::printf("instructions: not counted (valgrind is needed)\n");
    return;
  }
  const double ratio = *convert / *floor;
  std::printf(
      "instructions (callgrind, %d records per file): conversion, 1 thread %.1f M / floor "
      "%.1f M = %.2f  target <= 2.5  %s\n",
      kCountedRecords, *convert / 1e6, *floor / 1e6, ratio, Verdict(ratio <= 2.5));
}

void PrintMemoryDrawingAndScaling(const Boreholes& b, const Timings& t, long long peak) {
  const double peak_limit = 4.0 * b.input_bytes[2] + 32.0 * kMiB;
  std::printf("peak memory:       %8.1f MiB target <= %.1f MiB (4 x input + 32 MiB)  %s\n",
              static_cast<double>(peak) / kMiB, peak_limit / kMiB,
              Verdict(static_cast<double>(peak) <= peak_limit));
  // Both run on one thread; the processor time leaves out what other programs take.
  const double drawing_ratio = t.drawing.cpu / t.one_thread.cpu;
  std::printf(
      "log drawing (read back + lay out): %8.3f s   %8.3f s   %.2f x one conversion (1 thread, "
      "processor)  target <= 1  %s\n",
      t.drawing.wall, t.drawing.cpu, drawing_ratio, Verdict(drawing_ratio <= 1.0));
  double svg_bytes[3];
  for (int k = 0; k < 3; ++k) {
    svg_bytes[k] = static_cast<double>(
        drawing::WriteSvg(
            drawing::LayOutLogAt(u"D:\\OUT\\" + BoreholeName(b.sizes[k]), drawing::LayoutOptions{}))
            .size());
  }
  std::printf("  SVG: %.0f / %.0f / %.0f bytes per record at 1x / 4x / 16x the records\n",
              svg_bytes[0] / b.sizes[0], svg_bytes[1] / b.sizes[1], svg_bytes[2] / b.sizes[2]);
  std::printf("scaling:  1x %6d records %8.3f s\n", b.sizes[0], t.sizes[0].wall);
  std::printf("          4x %6d records %8.3f s  (%.2f x the time)\n", b.sizes[1], t.sizes[1].wall,
              t.sizes[1].wall / t.sizes[0].wall);
  std::printf("         16x %6d records %8.3f s  (%.2f x the time)  target <= 20  %s\n", b.sizes[2],
              t.sizes[2].wall, t.sizes[2].wall / t.sizes[0].wall,
              Verdict(t.sizes[2].wall <= 20.0 * t.sizes[0].wall));
}

// The one step a callgrind run counts (see MeasureOnce); kept out of line so that its name shows.
[[gnu::noinline]] void MeasuredStep(const std::function<void()>& step) { step(); }

}  // namespace

int ReportOneBorehole(int records, int repeats, bool instructions) {
  const Boreholes b = WriteBoreholes(records);
  ConvertOnce(b.sizes[0]);  // builds the code page tables once, outside every measurement
  ConvertOnce(records);
  const fs::path converted = b.work / "d" / "OUT" / base::ToUtf8(BoreholeName(records));
  const double output_bytes = static_cast<double>(fs::file_size(converted));
  const std::vector<std::u16string> lines = ConvertedLines(converted);
  const Timings t = TimeRuns(b, lines, repeats);
  const long long peak = PeakMemory(b.work, records);

  std::printf(
      "borehole: %d records per source file, input %.1f MiB, converted file %.1f MiB "
      "(%zu lines)\n",
      records, b.input_bytes[2] / kMiB, output_bytes / kMiB, lines.size());
  PrintTimes(t, repeats);
  if (instructions) PrintInstructions();
  PrintMemoryDrawingAndScaling(b, t, peak);
  fs::remove_all(b.work);
  return 0;
}

int MeasureOnce(const std::string& what, int records) {
  if (what != "convert" && what != "convert2" && what != "floor") {
    std::fprintf(stderr, "tjvx_bench: --once takes convert, convert2 or floor\n");
    return 2;
  }
  const fs::path work = MakeWork(fs::temp_directory_path());
  MapDrives(work);
  WriteSamplePattern(work / "d" / "DOZORA");
  WriteSyntheticBorehole(work / "c" / base::ToUtf8(BoreholeName(records)), records);
  ConvertOnce(records, convert::RunThreads::kOne);
  const std::vector<std::u16string> lines =
      ConvertedLines(work / "d" / "OUT" / base::ToUtf8(BoreholeName(records)));
  if (what == "convert") {
    MeasuredStep([&] { ConvertOnce(records, convert::RunThreads::kOne); });
  } else if (what == "convert2") {
    MeasuredStep([&] { ConvertOnce(records, convert::RunThreads::kTwo); });
  } else {
    MeasuredStep([&] { Floor(work, records, lines); });
  }
  fs::remove_all(work);
  return 0;
}

// The child of PeakMemory: one conversion, then its own peak memory on standard output.
int ConvertOnceForPeak(const std::string& work, int records) {
  MapDrives(work);
  ConvertOnce(records);
  std::printf("%lld\n", OwnPeakMemory());
  return 0;
}

}  // namespace tjvx::bench
