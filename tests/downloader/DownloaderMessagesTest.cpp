// Every text the download program shows has its line in the message file, with the placeholders its
// callers fill.
#include <gtest/gtest.h>

#include <string>

#include "tests/downloader/DownloaderRun.h"

namespace {

TEST(DownloaderMessages, EveryIdTheProgramShowsHasATextWithItsPlaceholders) {
  std::string file = downloadertest::readFile(downloadertest::sourceDir() + "/res/message.txt");
  struct Case {
    int id;
    int placeholders;
  } cases[] = {
      {20000, 0}, {20001, 1}, {20002, 0}, {20003, 0}, {20004, 0}, {21000, 0}, {21001, 0}, {21002, 0},
      {21003, 0}, {21004, 0}, {21005, 0}, {21006, 1}, {21007, 1}, {21020, 0}, {21021, 0}, {21022, 1},
  };
  for (const Case& c : cases) {
    std::string key = "\n" + std::to_string(c.id) + "=";
    size_t at = file.find(key);
    ASSERT_NE(std::string::npos, at) << c.id;
    EXPECT_EQ(std::string::npos, file.find(key, at + 1)) << c.id << " twice";
    std::string text = file.substr(at + key.size(), file.find('\n', at + 1) - at - key.size());
    EXPECT_FALSE(text.empty()) << c.id;
    EXPECT_EQ(c.placeholders > 0, text.find("%1") != std::string::npos) << c.id << ": " << text;
  }
}

}  // namespace
