#ifndef TJVX_BENCH_BENCH_SUPPORT_H_
#define TJVX_BENCH_BENCH_SUPPORT_H_

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// What the benchmark's reports share: the work folder mapped as drives, timing, the floor's
// reading and writing, and running a program.
namespace tjvx::bench {

inline constexpr double kMiB = 1024.0 * 1024.0;

// A fresh folder "tjvx-bench-<random>" in `parent` with c/ (the boreholes) and d/OUT/ (the
// converted files); d/DOZORA/ takes the pattern folder.
std::filesystem::path MakeWork(const std::filesystem::path& parent);

// C: and D: mapped to <work>/c and <work>/d, as every conversion of the benchmark sees them.
void MapDrives(const std::filesystem::path& work);

// The time a run took: on the wall clock, and on the processor clock of all this process's
// threads, which leaves out the time other programs of a busy machine take from it and adds up
// the time of a run's two threads.
struct RunTime {
  double wall = 1e300;
  double cpu = 1e300;
  void KeepBest(const RunTime& other);
};

// The shortest of `repeats` runs.
RunTime BestTime(int repeats, const std::function<void()>& run);

// The floor's reading: every file of the folder at `host` read and CP932-decoded as a run reads
// its sources.
void ReadAndDecodeFolder(const std::filesystem::path& host);

// The floor's writing: `lines` encoded and written to the converted file `path` (Windows form) as
// a run writes it, made durable as a run's commit makes it.
void WriteLines(const std::u16string& path, const std::vector<std::u16string>& lines);

// The lines of a converted file, decoded.
std::vector<std::u16string> ConvertedLines(const std::filesystem::path& file);
// The bytes of a file.
std::string ReadAll(const std::filesystem::path& path);

// Runs `arguments` (the program first) and waits for it; its exit status, or -1 when it did not
// end normally. With `output`, what it wrote to its standard output and error is put there;
// without, that goes nowhere.
int RunProgram(const std::vector<std::string>& arguments, std::string* output = nullptr);

// Whether the folder lies on a file system in memory (tmpfs), as TMPDIR=/dev/shm puts it.
bool IsInMemory(const std::filesystem::path& folder);

// "met" or "MISSED".
const char* Verdict(bool met);

}  // namespace tjvx::bench

#endif  // TJVX_BENCH_BENCH_SUPPORT_H_
