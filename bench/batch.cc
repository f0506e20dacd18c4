// The report of a batch: many small boreholes converted by one command line, against the batch's
// own floor, with their check, in memory and on disk.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "bench/bench_support.h"
#include "bench/borehole_generator.h"
#include "bench/reports.h"
#include "platform/atomic_file.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tjvx::bench {
namespace {

constexpr double kBoreholesPerSecond = 8000;

// The boreholes of a batch in a work folder.
struct BatchFolders {
  fs::path work;
  std::vector<std::string> names;  // B0001 ...
};

BatchFolders WriteBatch(const fs::path& parent, int count, int records) {
  BatchFolders batch{MakeWork(parent), {}};
  WriteSamplePattern(batch.work / "d" / "DOZORA");
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "B%04d", i);
    batch.names.push_back(name);
    WriteSyntheticBorehole(batch.work / "c" / name, records);
  }
  return batch;
}

// `program subcommand <every folder> [extra] --pattern ... --jobs J`.
std::vector<std::string> Command(const BatchFolders& batch, const std::string& program,
                                 const std::string& subcommand,
                                 const std::vector<std::string>& extra, int jobs) {
  std::vector<std::string> arguments = {program, subcommand};
  for (const std::string& name : batch.names)
    arguments.push_back((batch.work / "c" / name).string());
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  for (const std::string& option :
       {std::string("--pattern"), (batch.work / "d" / "DOZORA").string(), std::string("--jobs"),
        std::to_string(jobs)}) {
    arguments.push_back(option);
  }
  return arguments;
}

// A fresh d/OUT for the next conversion of the batch.
void EmptyOut(const BatchFolders& batch) {
  const fs::path out = batch.work / "d" / "OUT";
  fs::remove_all(out);
  fs::create_directories(out);
}

// One conversion of the whole batch into d/OUT, timed; false in `ok` when a borehole was not
// converted.
RunTime TimeConversion(const BatchFolders& batch, const std::string& program, int jobs, bool& ok) {
  EmptyOut(batch);
  const fs::path out = batch.work / "d" / "OUT";
  int status = 0;
  const RunTime time = BestTime(1, [&] {
    status =
        RunProgram(Command(batch, program, "convert", {out.string(), "--yes", "--quiet"}, jobs));
  });
  const auto converted = std::distance(fs::directory_iterator(out), fs::directory_iterator());
  ok = ok && status == 0 && converted == static_cast<long>(batch.names.size());
  return time;
}

// Runs `each(i)` for every borehole i of `count` on `jobs` threads, each taking the next one left.
void ForEachBorehole(size_t count, int jobs, const std::function<void(size_t)>& each) {
  std::atomic<size_t> next{0};
  std::vector<std::thread> threads;
  for (int j = 0; j < jobs; ++j) {
    threads.emplace_back([&] {
      for (size_t i = next++; i < count; i = next++) each(i);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

// The batch's floor: by `jobs` threads, each borehole's files read and decoded, its converted
// file's lines encoded and written, the files made durable as the batch makes them (one sync of
// the file system at the end), and the pattern folder read once.
void BatchFloor(const BatchFolders& batch, const std::vector<std::vector<std::u16string>>& lines,
                int jobs) {
  platform::SetDurability(platform::Durability::kDeferred);
  ReadAndDecodeFolder(batch.work / "d" / "DOZORA");
  ForEachBorehole(batch.names.size(), jobs, [&](size_t i) {
    ReadAndDecodeFolder(batch.work / "c" / batch.names[i]);
    WriteLines(u"D:\\FLOOR\\" + base::FromAscii(batch.names[i]), lines[i]);
  });
  platform::SyncDeferredFolders();
  platform::SetDurability(platform::Durability::kEachFile);
}

// The batch's input and output alone, without decoding or encoding: by `jobs` threads, each
// borehole's files read and its converted file's bytes (encoded beforehand) written, durable as the
// batch makes them. What a conversion cannot go below on this machine however little it computes.
void BatchInputOutput(const BatchFolders& batch, const std::vector<std::string>& bytes, int jobs) {
  platform::SetDurability(platform::Durability::kDeferred);
  ForEachBorehole(batch.names.size(), jobs, [&](size_t i) {
    for (const auto& entry : fs::directory_iterator(batch.work / "c" / batch.names[i])) {
      if (!platform::ReadFileBytes(platform::Drives().FromHost(entry.path()))) std::abort();
    }
    platform::AtomicFile out(u"D:\\IO\\" + base::FromAscii(batch.names[i]));
    out.Write(bytes[i]);
    out.Commit();
  });
  platform::SyncDeferredFolders();
  platform::SetDurability(platform::Durability::kEachFile);
}

// The same input and output in the fewest system calls: each file opened, its size asked, read
// and closed; each converted file created, written, closed and renamed into place; one sync of
// the file system at the end. The files' host paths are listed beforehand. What any program
// reading and writing these files pays the operating system.
void BatchBareSystemCalls(const std::vector<std::vector<std::string>>& inputs,
                          const std::vector<std::string>& bytes, const fs::path& out, int jobs) {
  ForEachBorehole(inputs.size(), jobs, [&](size_t i) {
    std::string buffer;
    for (const std::string& path : inputs[i]) {
      const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      struct stat info {};
      if (fd < 0 || fstat(fd, &info) != 0) std::abort();
      buffer.resize(static_cast<size_t>(info.st_size) + 1);
      if (read(fd, buffer.data(), buffer.size()) != info.st_size) std::abort();
      close(fd);
    }
    const std::string name = (out / std::to_string(i)).string(), temporary = name + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 ||
        write(fd, bytes[i].data(), bytes[i].size()) != static_cast<ssize_t>(bytes[i].size())) {
      std::abort();
    }
    close(fd);
    if (rename(temporary.c_str(), name.c_str()) != 0) std::abort();
  });
  const int folder = open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  syncfs(folder);
  close(folder);
}

std::vector<std::vector<std::u16string>> ConvertedBatchLines(const BatchFolders& batch) {
  std::vector<std::vector<std::u16string>> lines;
  for (const std::string& name : batch.names) {
    lines.push_back(ConvertedLines(batch.work / "d" / "OUT" / name));
  }
  return lines;
}

struct BatchTimes {
  RunTime convert, floor, check, input_output, bare;
  bool ok = true;
};

// The conversion, its floor and the check take turns; the best of each counts.
BatchTimes TimeBatch(const BatchFolders& batch, const std::string& program, int jobs, int repeats) {
  BatchTimes t;
  TimeConversion(batch, program, jobs, t.ok);
  const std::vector<std::vector<std::u16string>> lines = ConvertedBatchLines(batch);
  MapDrives(batch.work);
  std::vector<std::string> bytes;
  std::vector<std::vector<std::string>> inputs;
  for (const std::string& name : batch.names) {
    bytes.push_back(ReadAll(batch.work / "d" / "OUT" / name));
    inputs.emplace_back();
    for (const auto& entry : fs::directory_iterator(batch.work / "c" / name))
      inputs.back().push_back(entry.path().string());
  }
  for (int i = 0; i < repeats && t.ok; ++i) {
    t.convert.KeepBest(TimeConversion(batch, program, jobs, t.ok));
    fs::remove_all(batch.work / "d" / "FLOOR");
    fs::create_directories(batch.work / "d" / "FLOOR");
    t.floor.KeepBest(BestTime(1, [&] { BatchFloor(batch, lines, jobs); }));
    fs::remove_all(batch.work / "d" / "IO");
    fs::create_directories(batch.work / "d" / "IO");
    t.input_output.KeepBest(BestTime(1, [&] { BatchInputOutput(batch, bytes, jobs); }));
    const fs::path bare = batch.work / "d" / "BARE";
    fs::remove_all(bare);
    fs::create_directories(bare);
    t.bare.KeepBest(BestTime(1, [&] { BatchBareSystemCalls(inputs, bytes, bare, jobs); }));
    // A check exits 1 when it finds warnings, as the synthetic boreholes have.
    int status = 0;
    t.check.KeepBest(
        BestTime(1, [&] { status = RunProgram(Command(batch, program, "check", {}, jobs)); }));
    t.ok = t.ok && (status == 0 || status == 1);
  }
  return t;
}

}  // namespace

int ReportBatch(int count, int records, int jobs, const std::string& program, int repeats,
                const std::string& disk) {
  const fs::path temporary = fs::temp_directory_path();
  const bool in_memory = IsInMemory(temporary);
  BatchFolders batch = WriteBatch(temporary, count, records);
  const BatchTimes t = TimeBatch(batch, program, jobs, repeats);
  fs::remove_all(batch.work);
  const double rate = count / t.convert.wall, floor_rate = count / t.floor.wall;
  std::printf("batch: %d boreholes of %d records per file, --jobs %d, in %s (%s), best of %d%s\n",
              count, records, jobs, temporary.c_str(), in_memory ? "in memory" : "on disk", repeats,
              t.ok ? "" : "  FAILED");
  std::printf("  conversion: %.3f s, %.0f boreholes/s", t.convert.wall, rate);
  if (in_memory) {
    std::printf("  target >= %.0f /s  %s\n", kBoreholesPerSecond,
                Verdict(rate >= kBoreholesPerSecond));
  } else {
    std::printf("  (the target is for TMPDIR=/dev/shm)\n");
  }
  std::printf(
      "  floor:      %.3f s, %.0f boreholes/s  (read + decode, encode + write, %d threads)\n",
      t.floor.wall, floor_rate, jobs);
  std::printf("  conversion/floor: %.2f\n", t.convert.wall / t.floor.wall);
  std::printf(
      "  input and output alone: %.3f s, %.0f boreholes/s  (the same reading and writing, "
      "nothing decoded or encoded)\n",
      t.input_output.wall, count / t.input_output.wall);
  std::printf("  the same in the fewest system calls: %.3f s, %.0f boreholes/s\n", t.bare.wall,
              count / t.bare.wall);
  std::printf("  check:      %.3f s, %.0f boreholes/s  target <= the conversion  %s\n",
              t.check.wall, count / t.check.wall, Verdict(t.check.wall <= t.convert.wall));
  if (in_memory && !disk.empty()) {
    BatchFolders on_disk = WriteBatch(disk, count, records);
    RunTime disk_time;
    bool ok = true;
    for (int i = 0; i < repeats; ++i)
      disk_time.KeepBest(TimeConversion(on_disk, program, jobs, ok));
    fs::remove_all(on_disk.work);
    std::printf("  on disk (%s): conversion %.3f s, %.0f boreholes/s%s\n", disk.c_str(),
                disk_time.wall, count / disk_time.wall, ok ? "" : "  FAILED");
  }
  return t.ok ? 0 : 1;
}

}  // namespace tjvx::bench
