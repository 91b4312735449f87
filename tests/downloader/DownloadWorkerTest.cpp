// The worker's file handling: moving the finished file to the chosen name, also across file systems,
// and naming new temporary files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "downloader/DownloadWorker.h"
#include "tests/downloader/DownloaderRun.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"

namespace {

using downloadertest::pattern;
using downloadertest::readFile;

bool sameFileSystem(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

TEST(DownloadWorker, MoveRenamesOrCopiesAcrossFileSystemsAndKeepsTheFileWhenItCannot) {
  ScratchDirectory here;
  // Memory-backed, so usually another file system than the scratch folder's.
  const std::string elsewhere = "/dev/shm";
  struct Case {
    std::string to;  // empty: another file system
    bool moved;
  } cases[] = {
      {here / "chosen.bin", true},
      {"", true},
      {here / "missing/chosen.bin", false},
  };
  for (const Case& c : cases) {
    std::string to = c.to;
    if (to.empty()) {
      if (!std::filesystem::is_directory(elsewhere) || sameFileSystem(elsewhere, here.path())) continue;
      to = elsewhere + "/vesk-move-" + std::to_string(getpid()) + ".bin";
    }
    SCOPED_TRACE(to);
    std::string body = pattern(10000);
    here.write("part", body);
    EXPECT_EQ(c.moved, DownloadWorker::moveFile(wide(here / "part"), wide(to)));
    EXPECT_EQ(!c.moved, here.exists("part"));
    if (c.moved) {
      EXPECT_TRUE(body == readFile(to));
    }
    std::filesystem::remove(to);
  }
}

TEST(DownloadWorker, TemporaryNamesAreNumbersThatNameNothingYet) {
  ScratchDirectory dir;
  String folder = wide(dir.path() + "/");
  for (int i = 0; i < 20; ++i) {
    String path = DownloadWorker::newTemporaryPath(folder);
    std::string name = narrow(path).substr(dir.path().size() + 1);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(std::string::npos, name.find_first_not_of("0123456789")) << name;
    EXPECT_FALSE(dir.exists(name));
    dir.write(name, "taken");
  }
}

}  // namespace
