// The converted file's writing: in place only at commit, nothing left behind otherwise, names as
// long as the file system allows, the permission bits of the file it replaces, and syncs.

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "tests/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tjvx {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEarlier = "an earlier conversion\r\n";

// D:\OUT holding an earlier file B-12; each test runs with unnamed temporary files where the
// system has them (the default) and again with named ones (TJVX_NAMED_TEMPORARY_FILES).
class AtomicFileTest : public testing::TestWithParam<bool> {
 protected:
  AtomicFileTest() {
    fs::create_directories(Out());
    test::WriteBytes(Out() / "B-12", kEarlier);
    if (GetParam()) test::SetEnvironment("TJVX_NAMED_TEMPORARY_FILES", "1");
  }
  ~AtomicFileTest() override { test::UnsetEnvironment("TJVX_NAMED_TEMPORARY_FILES"); }

  fs::path Out() const { return drives_.d() / "OUT"; }
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDrives drives_;
};

TEST_P(AtomicFileTest, CommitPutsTheBytesInPlaceAndLeavesNothingElse) {
  {
    platform::AtomicFile file(u"D:\\OUT\\B-12");
    file.Write("new ");
    file.Write("bytes");
    EXPECT_EQ(test::ReadBytes(Out() / "B-12"), kEarlier) << "in place before the commit";
    file.Commit();
  }
  EXPECT_EQ(test::ReadBytes(Out() / "B-12"), "new bytes");
  EXPECT_EQ(Names(Out()), std::vector<std::string>{"B-12"});
}

TEST_P(AtomicFileTest, AFileNeverCommittedLeavesNothing) {
  {
    platform::AtomicFile file(u"D:\\OUT\\B-12");
    file.Write("partial");
  }
  EXPECT_EQ(test::ReadBytes(Out() / "B-12"), kEarlier);
  EXPECT_EQ(Names(Out()), std::vector<std::string>{"B-12"});
}

TEST_P(AtomicFileTest, ANameOfTheLongestLengthTheFileSystemTakesIsWritten) {
  // 85 kanji: 255 bytes in UTF-8, the most a Linux file name may have.
  std::u16string name(85, u'孔');
  const std::string utf8 = fs::path(name).string();
  {
    platform::AtomicFile file(u"D:\\OUT\\" + name);
    file.Write("long");
    file.Commit();
  }
  EXPECT_EQ(test::ReadBytes(Out() / fs::path(name)), "long");
  EXPECT_EQ(Names(Out()).size(), 2u);
}

#ifndef _WIN32

TEST_P(AtomicFileTest, ATemporaryNameIsShortOrThereIsNone) {
  platform::AtomicFile file(u"D:\\OUT\\B-12");
  if (GetParam()) {
    EXPECT_EQ(file.temporary_path().filename().string().rfind(".tjvx-", 0), 0u);
    EXPECT_EQ(file.temporary_path().filename().string().size(), 12u);
    EXPECT_EQ(Names(Out()).size(), 2u);
  } else {
    // Unnamed: a process killed now leaves nothing in the folder.
    EXPECT_TRUE(file.temporary_path().empty());
    EXPECT_EQ(Names(Out()), std::vector<std::string>{"B-12"});
  }
}

TEST_P(AtomicFileTest, AFolderMovedAwayBeforeTheCommitFailsAndLeavesNothing) {
  const fs::path moved = drives_.d() / "MOVED";
  platform::AtomicFile file(u"D:\\OUT\\B-12");
  file.Write("complete");
  fs::rename(Out(), moved);
  EXPECT_THROW(file.Commit(), base::Error);
  EXPECT_FALSE(fs::exists(Out()));
  EXPECT_EQ(Names(moved), std::vector<std::string>{"B-12"});
  EXPECT_EQ(test::ReadBytes(moved / "B-12"), kEarlier);
}

TEST_P(AtomicFileTest, TheReplacedFileKeepsItsPermissionBits) {
  for (mode_t mode : {0600, 0640, 0444}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(chmod((Out() / "B-12").c_str(), mode), 0);
    platform::AtomicFile file(u"D:\\OUT\\B-12");
    file.Write("new");
    file.Commit();
    struct stat status {};
    ASSERT_EQ(stat((Out() / "B-12").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode);
  }
}

TEST_P(AtomicFileTest, SetIdAndStickyBitsNeverPassToTheNewFile) {
  const std::pair<mode_t, mode_t> cases[] = {{04755, 0755}, {02750, 0750}, {01644, 0644}};
  for (const auto& [before, after] : cases) {
    SCOPED_TRACE(before);
    ASSERT_EQ(chmod((Out() / "B-12").c_str(), before), 0);
    platform::AtomicFile file(u"D:\\OUT\\B-12");
    file.Write("new");
    file.Commit();
    struct stat status {};
    ASSERT_EQ(stat((Out() / "B-12").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, after);
  }
}

TEST_P(AtomicFileTest, AFifoAtTheNameIsNeverReplaced) {
  fs::remove(Out() / "B-12");
  ASSERT_EQ(mkfifo((Out() / "B-12").c_str(), 0600), 0);
  EXPECT_THROW(
      {
        platform::AtomicFile file(u"D:\\OUT\\B-12");
        file.Write("new");
        file.Commit();
      },
      base::Error);
  EXPECT_TRUE(fs::is_fifo(Out() / "B-12"));
  EXPECT_EQ(Names(Out()), std::vector<std::string>{"B-12"});
}

TEST_P(AtomicFileTest, AFifoMadeAtTheNameWhileWritingIsNotReplacedEither) {
  platform::AtomicFile file(u"D:\\OUT\\B-12");
  file.Write("new");
  fs::remove(Out() / "B-12");
  ASSERT_EQ(mkfifo((Out() / "B-12").c_str(), 0600), 0);
  EXPECT_THROW(file.Commit(), base::Error);
  EXPECT_TRUE(fs::is_fifo(Out() / "B-12"));
  EXPECT_EQ(Names(Out()), std::vector<std::string>{"B-12"});
}

TEST_P(AtomicFileTest, ALinkAtTheNameIsReplacedItselfAndItsTargetKept) {
  test::WriteBytes(Out() / "target", "kept");
  ASSERT_EQ(chmod((Out() / "target").c_str(), 0700), 0);
  fs::remove(Out() / "B-12");
  fs::create_symlink("target", Out() / "B-12");
  platform::AtomicFile file(u"D:\\OUT\\B-12");
  file.Write("new");
  file.Commit();
  EXPECT_FALSE(fs::is_symlink(Out() / "B-12"));
  EXPECT_EQ(test::ReadBytes(Out() / "B-12"), "new");
  EXPECT_EQ(test::ReadBytes(Out() / "target"), "kept");
  // The link's target lends it no bits: the new file has the usual ones.
  struct stat status {};
  ASSERT_EQ(stat((Out() / "B-12").c_str(), &status), 0);
  EXPECT_NE(status.st_mode & 0777, 0700u);
}

TEST_P(AtomicFileTest, ANewFileGetsTheUsualPermissions) {
  const mode_t saved = umask(027);
  {
    platform::AtomicFile file(u"D:\\OUT\\NEW");
    file.Write("new");
    file.Commit();
  }
  umask(saved);
  struct stat status {};
  ASSERT_EQ(stat((Out() / "NEW").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_P(AtomicFileTest, EachCommitSyncsTheFileAndItsFolder) {
  const unsigned long long before = platform::SyncCount();
  platform::AtomicFile file(u"D:\\OUT\\B-12");
  file.Write("new");
  file.Commit();
  EXPECT_EQ(platform::SyncCount() - before, 2u);
}

TEST_P(AtomicFileTest, DeferredCommitsAreSyncedOnceForTheirFolder) {
  platform::SetDurability(platform::Durability::kDeferred);
  const unsigned long long before = platform::SyncCount();
  for (const char16_t* name : {u"D:\\OUT\\B-1", u"D:\\OUT\\B-2", u"D:\\OUT\\B-3"}) {
    platform::AtomicFile file(name);
    file.Write("new");
    file.Commit();
  }
  const unsigned long long after_commits = platform::SyncCount();
  const bool synced = platform::SyncDeferredFolders();
  platform::SetDurability(platform::Durability::kEachFile);
  EXPECT_EQ(after_commits, before);
  EXPECT_TRUE(synced);
  EXPECT_EQ(platform::SyncCount() - before, 1u);
}

#endif  // _WIN32

INSTANTIATE_TEST_SUITE_P(TemporaryFiles, AtomicFileTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Named" : "Unnamed";
                         });

}  // namespace
}  // namespace tjvx
