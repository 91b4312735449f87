// Handing a download to the download program.
#include <gtest/gtest.h>

#include "browser/shell/DownloadHandOver.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"

namespace {

TEST(DownloadHandOver, CommandLineQuotesTheThreePartsBetweenTabs) {
  String line = DownloadHandOver::commandLine(u"http://h/a.zip"_s, u"http://h/"_s, u"x=1"_s);
  EXPECT_EQ(narrow(line), "\"http://h/a.zip\"\t\"http://h/\"\t\"x=1\"");
  EXPECT_EQ(narrow(DownloadHandOver::commandLine(String(), String(), String())), "\"\"\t\"\"\t\"\"");

  std::string bytes = DownloadHandOver::message(line);
  ASSERT_EQ(bytes.size(), static_cast<size_t>((line.length() + 1) * 2));
  EXPECT_EQ(bytes.substr(0, 4), std::string("\"\0h\0", 4));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\"\0\0\0", 4));
}

struct Recorder {
  int answer = 0;
  bool throws = false;
  std::string sentTo;
  int sentLength = 0;
  std::string launched;
  int launches = 0;

  DownloadHandOver::Channel channel() {
    DownloadHandOver::Channel c;
    c.send = [this](const String& windowClass, const char*, int length) {
      sentTo = narrow(windowClass);
      sentLength = length;
      return answer;
    };
    c.launch = [this](const String& commandLine) {
      ++launches;
      launched = narrow(commandLine);
      if (throws) throw Exception(u"cannot start"_s);
    };
    return c;
  }
};

TEST(DownloadHandOver, AnswerOfTheDownloaderDecidesWhatFollows) {
  struct {
    int answer;
    bool launchThrows;
    int result;
    int launches;
  } cases[] = {
      {0, false, 0, 0},                                 // taken
      {1, false, DownloadHandOver::MESSAGE_BUSY, 0},    // busy: 10064
      {-1, false, 0, 1},                                // not running: started with the line
      {-1, true, DownloadHandOver::MESSAGE_FAILED, 1},  // cannot be started: 10065
  };
  for (const auto& c : cases) {
    Recorder r;
    r.answer = c.answer;
    r.throws = c.launchThrows;
    int result = DownloadHandOver::handOver(r.channel(), u"http://h/a.zip"_s, u"http://h/"_s, String());
    EXPECT_EQ(result, c.result) << c.answer;
    EXPECT_EQ(r.sentTo, "DOWNLOADER");
    EXPECT_EQ(r.sentLength, (31 + 1) * 2);
    EXPECT_EQ(r.launches, c.launches);
    if (c.launches) {
      EXPECT_EQ(r.launched, "\"http://h/a.zip\"\t\"http://h/\"\t\"\"");
    }
  }
}

}  // namespace
