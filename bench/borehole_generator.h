#ifndef TJVX_BENCH_BOREHOLE_GENERATOR_H_
#define TJVX_BENCH_BOREHOLE_GENERATOR_H_

#include <cstdint>
#include <filesystem>

namespace tjvx::bench {

// Writes a synthetic borehole folder: every source file the run reads, each with `records`
// records made from the sample borehole's records in turn, numbered from 1 and with depths rising
// 5 cm a record, plus the sample's two title files. Returns the bytes written.
std::uintmax_t WriteSyntheticBorehole(const std::filesystem::path& folder, int records);

// Copies the sample pattern folder to `folder`; returns the bytes copied.
std::uintmax_t WriteSamplePattern(const std::filesystem::path& folder);

}  // namespace tjvx::bench

#endif  // TJVX_BENCH_BOREHOLE_GENERATOR_H_
