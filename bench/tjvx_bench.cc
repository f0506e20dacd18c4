// tjvx_bench: the speed and memory of the conversion, against the floor of the same work.
//
//   tjvx_bench [--records N] [--repeats K] [--instructions]   (K defaults to 10)
//       One report for a synthetic borehole of N records per source file (default 20000): the
//       time of one whole conversion with two threads and with one; the floor (read and
//       CP932-decode every input file, encode and write the converted file's bytes) measured in
//       this process; their ratios; the peak memory of a conversion in a fresh process; the log
//       drawing; and the time at N/16, N/4 and N records. --instructions adds the instructions of
//       one conversion with one thread and of the floor at 5,000 records per file (valgrind).
//   tjvx_bench --batch COUNT --tjvx PROGRAM [--records N] [--jobs J] [--repeats K] [--disk DIR]
//       COUNT boreholes of N records per file (default 50) in TMPDIR converted by one
//       `PROGRAM convert ... --jobs J` (default: the number of cores), against the batch's own
//       floor and `PROGRAM check` of the same folders, the best of K (default 3); when TMPDIR is in
//       memory, the conversion again on disk in DIR (default /var/tmp).
//   tjvx_bench --site COUNT [--records N] [--jobs J]
//       The site dialog's logic over a site folder of COUNT boreholes of N records per file
//       (default 50), as a window drives it: the time from opening until every folder is listed
//       and checked (target 3 s for 200), and from 変換 until every one is converted (target 2 s).
//   tjvx_bench --once convert|convert2|floor [--records N]
//       One conversion with one thread (convert2: with two), or the floor, of the borehole of N
//       records per file (default 5000), made in MeasuredStep after a conversion has built the
//       code page tables: for counting instructions,
//       `valgrind --tool=callgrind --toggle-collect='*MeasuredStep*'` (one thread's only).

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/reports.h"

namespace {

struct Options {
  int records = -1, repeats = -1, batch = 0, site = 0;
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  bool instructions = false;
  std::string program, once, disk = "/var/tmp";
};

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    const std::string& a = args[i];
    if (a == "--instructions") {
      o.instructions = true;
    } else if (!has_value) {
      return false;
    } else if (a == "--records") {
      o.records = std::stoi(args[++i]);
    } else if (a == "--repeats") {
      o.repeats = std::stoi(args[++i]);
    } else if (a == "--batch") {
      o.batch = std::stoi(args[++i]);
    } else if (a == "--site") {
      o.site = std::stoi(args[++i]);
    } else if (a == "--jobs") {
      o.jobs = std::stoi(args[++i]);
    } else if (a == "--tjvx") {
      o.program = args[++i];
    } else if (a == "--once") {
      o.once = args[++i];
    } else if (a == "--disk") {
      o.disk = args[++i];
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "--convert-once") {
    return tjvx::bench::ConvertOnceForPeak(args[1], std::stoi(args[2]));
  }
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr,
                 "usage: tjvx_bench [--records N] [--repeats K] [--instructions]\n"
                 "       tjvx_bench --batch COUNT --tjvx PROGRAM [--records N] [--jobs J] "
                 "[--repeats K] [--disk DIR]\n"
                 "       tjvx_bench --site COUNT [--records N] [--jobs J]\n"
                 "       tjvx_bench --once convert|convert2|floor [--records N]\n");
    return 2;
  }
  if (o.site > 0) return tjvx::bench::ReportSite(o.site, o.records > 0 ? o.records : 50, o.jobs);
  if (!o.once.empty()) return tjvx::bench::MeasureOnce(o.once, o.records > 0 ? o.records : 5000);
  if (o.batch > 0) {
    if (o.program.empty()) {
      std::fprintf(stderr, "tjvx_bench: --batch needs --tjvx PROGRAM\n");
      return 2;
    }
    return tjvx::bench::ReportBatch(o.batch, o.records > 0 ? o.records : 50, o.jobs, o.program,
                                    o.repeats > 0 ? o.repeats : 3, o.disk);
  }
  return tjvx::bench::ReportOneBorehole(o.records > 0 ? o.records : 20000,
                                        o.repeats > 0 ? o.repeats : 10, o.instructions);
}
