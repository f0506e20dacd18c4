#include "bench/bench_support.h"

#include <fcntl.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>

#include "convert/line_sink.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path MakeWork(const fs::path& parent) {
  std::random_device random;
  fs::path work = parent / ("tjvx-bench-" + std::to_string(random()));
  fs::create_directories(work / "c");
  fs::create_directories(work / "d" / "OUT");
  return work;
}

void MapDrives(const fs::path& work) {
  platform::DriveTable table;
  table.Map(u'C', work / "c");
  table.Map(u'D', work / "d");
  platform::SetDrives(table);
}

void RunTime::KeepBest(const RunTime& other) {
  wall = std::min(wall, other.wall);
  cpu = std::min(cpu, other.cpu);
}

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

void ReadAndDecodeFolder(const fs::path& host) {
  for (const auto& entry : fs::directory_iterator(host)) {
    const std::u16string path = platform::Drives().FromHost(entry.path());
    const std::optional<std::string> bytes = platform::ReadFileBytes(path);
    const std::u16string text = platform::DecodeCp932(*bytes, path);
    if (text.size() > bytes->size()) std::abort();
  }
}

void WriteLines(const std::u16string& path, const std::vector<std::u16string>& lines) {
  convert::RecordFile out(path);
  for (const std::u16string& line : lines) out.Line(line);
  out.Commit();
}

std::vector<std::u16string> ConvertedLines(const fs::path& file) {
  const std::u16string text = platform::DecodeCp932(ReadAll(file), u"converted");
  std::vector<std::u16string> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

int RunProgram(const std::vector<std::string>& arguments, std::string* output) {
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int pipe_ends[2] = {-1, -1};
  if (output != nullptr && pipe(pipe_ends) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    const int to = output != nullptr ? pipe_ends[1] : open("/dev/null", O_WRONLY);
    dup2(to, STDOUT_FILENO);
    dup2(to, STDERR_FILENO);
    if (output != nullptr) close(pipe_ends[0]);
    close(to);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (output != nullptr) {
    close(pipe_ends[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
      output->append(buffer, static_cast<size_t>(n));
    }
    close(pipe_ends[0]);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool IsInMemory(const fs::path& folder) {
  struct statfs info {};
  constexpr long kTmpfsMagic = 0x01021994;
  return statfs(folder.c_str(), &info) == 0 && static_cast<long>(info.f_type) == kTmpfsMagic;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace tjvx::bench
