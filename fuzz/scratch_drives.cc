#include "fuzz/scratch_drives.h"

#include <random>
#include <string>
#include <system_error>

#include "platform/drives.h"

namespace fs = std::filesystem;

namespace tjvx::fuzz {

ScratchDrives& ScratchDrives::Get() {
  static ScratchDrives drives;
  return drives;
}

ScratchDrives::ScratchDrives() {
  std::random_device random;
  base_ = fs::temp_directory_path() / ("tjvx-fuzz-" + std::to_string(random()));
  c_ = base_ / "c";
  d_ = base_ / "d";
  fs::create_directories(c_);
  fs::create_directories(d_);
}

ScratchDrives::~ScratchDrives() {
  std::error_code ec;
  fs::remove_all(base_, ec);
}

void ScratchDrives::Install() const {
  platform::DriveTable table;
  table.Map(u'C', c_);
  table.Map(u'D', d_);
  platform::SetDrives(table);
}

}  // namespace tjvx::fuzz
