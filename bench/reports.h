#ifndef TJVX_BENCH_REPORTS_H_
#define TJVX_BENCH_REPORTS_H_

#include <string>

// The benchmark's reports; each prints its figures and every target with met or MISSED, and
// returns the program's exit status.
namespace tjvx::bench {

// One synthetic borehole of `records` records per source file: a conversion with two threads and
// with one against the floor of the same borehole, the best of `repeats` turns each; peak memory;
// the log drawing; the time at 1/16, 1/4 and all of the records. With `instructions`, the
// instructions of one conversion with one thread and of the floor, counted by callgrind at
// 5,000 records per file.
int ReportOneBorehole(int records, int repeats, bool instructions);

// One conversion with one thread, or the floor (`what`: "convert" or "floor"), of a borehole of
// `records` records per file, made in MeasuredStep for callgrind's --toggle-collect.
int MeasureOnce(const std::string& what, int records);

// `count` boreholes of `records` records per file converted by one `program convert ... --jobs
// jobs` in TMPDIR, against the batch's own floor (the same files read and decoded, the converted
// files encoded and written, by as many threads, durable as the batch makes them) and `program
// check` of the same folders, the best of `repeats`; then the same conversion on the disk folder
// `disk` when TMPDIR is in memory.
int ReportBatch(int count, int records, int jobs, const std::string& program, int repeats,
                const std::string& disk);

// The site dialog's logic over a site folder of `count` boreholes of `records` records per file,
// as a window drives it, with `jobs` workers: the time from opening until every folder is listed
// and checked (target 3 s for 200), and from 変換 until every one is converted (target 2 s).
int ReportSite(int count, int records, int jobs);

// The child of the peak memory measurement: one conversion of the borehole of `records` records
// in the work folder `work`, then the process's own peak memory on its standard output.
int ConvertOnceForPeak(const std::string& work, int records);

}  // namespace tjvx::bench

#endif  // TJVX_BENCH_REPORTS_H_
