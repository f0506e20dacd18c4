#!/usr/bin/env python3
"""Puts each function's own instructions in a callgrind profile of one conversion (or of the
floor) to the step it serves, and prints the steps.

    valgrind --tool=callgrind --callgrind-out-file=conv.cg \
        --toggle-collect='*MeasuredStep*' build/bench/tjvx_bench --once convert
    bench/profile_by_step.py conv.cg [floor.cg]

The steps are told by the functions' names, so a function renamed or added may land in
"formatting and writing the records", the step that takes what no other takes.
"""
import re
import subprocess
import sys

# The first rule whose pattern is found in a function's name takes it.
STEPS = [
    ("reading the sources", r"ReadFileBytes|FindCtrlZ|__memchr|OpenSourceFile|SourcePath|AsWritten"),
    ("decoding", r"DecodeCp932"),
    ("field splitting", r"FieldReader::|SimpleField|ReadRecordFrom|ScanUnquoted|ScanQuoted"),
    ("reading numbers", r"NumericValue|IsNonZeroNumber|ParseNumber"),
    ("lookups", r"CodeTable|PatternTables|LookupLegendNames|AppendGroupNames|LegendNames|"
                r"MergeDepths|AppendNew|CollectDepths|ShortestText|depth_list"),
    ("encoding", r"AppendCp932|Cp932CanWrite|platform::.*Table\(\)"),
    ("writing", r"RecordFile::|AtomicFile|EncodedLines|__libc_write|fsync|syncfs"),
    ("memory", r"malloc|free|operator new|operator delete|memcpy|memmove|memset|_M_create|"
               r"_M_dispose|_M_mutate|::resize\(|::reserve\("),
]
OTHER = "formatting and writing the records"


def by_step(profile):
    out = subprocess.run(["callgrind_annotate", "--auto=no", "--threshold=100", profile],
                         capture_output=True, text=True, check=True).stdout
    steps = {name: 0 for name, _ in STEPS}
    steps[OTHER] = 0
    total = 0
    for line in out.splitlines():
        m = re.match(r"\s*([\d,]+) \(\s*[\d.]+%\)\s+(.*)$", line)
        if not m:
            continue
        count, name = int(m.group(1).replace(",", "")), m.group(2)
        if "PROGRAM TOTALS" in name:
            total = count
            continue
        step = next((s for s, pattern in STEPS if re.search(pattern, name)), OTHER)
        steps[step] += count
    return steps, total


def main():
    profiles = sys.argv[1:]
    if not profiles:
        sys.exit(__doc__)
    columns = [by_step(p) for p in profiles]
    print("| Step | " + " | ".join(profiles) + " |")
    print("|---|" + "---|" * len(profiles))
    for step in [s for s, _ in STEPS] + [OTHER]:
        print(f"| {step} | " + " | ".join(f"{c[step] / 1e6:.1f} M" for c, _ in columns) + " |")
    print("| total | " + " | ".join(f"{t / 1e6:.1f} M" for _, t in columns) + " |")


if __name__ == "__main__":
    main()
