#ifndef TJVX_FUZZ_SCRATCH_DRIVES_H_
#define TJVX_FUZZ_SCRATCH_DRIVES_H_

#include <filesystem>

namespace tjvx::fuzz {

// Two scratch folders mapped as the drives C: and D:, made once for the whole process and removed
// when it ends. Install() puts the table in place again, since tests between calls install their
// own.
class ScratchDrives {
 public:
  static ScratchDrives& Get();
  void Install() const;
  const std::filesystem::path& c() const { return c_; }
  const std::filesystem::path& d() const { return d_; }
  ~ScratchDrives();

 private:
  ScratchDrives();
  std::filesystem::path base_, c_, d_;
};

}  // namespace tjvx::fuzz

#endif  // TJVX_FUZZ_SCRATCH_DRIVES_H_
