#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "downloader/DownloadItem.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/System.h"

TEST(DownloadItemTest, ItemStringSplitsAtTabsKeepingEmptyPiecesAndDroppingQuotes) {
  struct Case {
    std::string text;
    const char* url;
    const char* referer;
    const char* cookie;
  };
  const Case cases[] = {
      {"http://h/f.zip", "http://h/f.zip", "", ""},
      {"http://h/f.zip\thttp://h/page", "http://h/f.zip", "http://h/page", ""},
      {"http://h/f.zip\thttp://h/page\ta=1; b=2", "http://h/f.zip", "http://h/page", "a=1; b=2"},
      {"http://h/f.zip\t\ta=1", "http://h/f.zip", "", "a=1"},
      // As the browser sends it by short message: every field quoted.
      {"\"http://h/f.zip\"\t\"http://h/page\"\t\"a=1\"", "http://h/f.zip", "http://h/page", "a=1"},
      {"\"http://h/f.zip\"\t\"\"\t\"\"", "http://h/f.zip", "", ""},
      {"\"", "\"", "", ""},
  };
  for (const Case& c : cases) {
    AutoPtr<DownloadItem> item(DownloadItem::fromItemString(wide(c.text)));
    EXPECT_EQ(c.url, narrow(item->getUrl())) << c.text;
    EXPECT_EQ(c.referer, narrow(item->getReferer())) << c.text;
    EXPECT_EQ(c.cookie, narrow(item->getCookie())) << c.text;
  }
}

TEST(DownloadItemTest, StartsUnknownAndEmptyAndHoldsLargeCounts) {
  int64_t before = System::currentTimeMillisBoot();
  DownloadItem item(u"http://h/big.iso"_s);
  EXPECT_GE(item.getStartTime(), before);
  EXPECT_LE(item.getStartTime(), System::currentTimeMillisBoot());
  EXPECT_EQ(-1, item.getTotalLength());
  EXPECT_EQ(0, item.getReceived());
  EXPECT_TRUE(item.getSavePath().isNull());
  EXPECT_TRUE(item.getSuggestedName().isNull());

  const int64_t fiveGigabytes = 5LL << 30;
  item.setTotalLength(fiveGigabytes);
  item.setReceived(fiveGigabytes - 1);
  EXPECT_EQ(fiveGigabytes, item.getTotalLength());
  EXPECT_EQ(fiveGigabytes - 1, item.getReceived());
}

TEST(DownloadItemTest, SavePathSetOnOneThreadIsSeenOnAnother) {
  DownloadItem item(u"http://h/f.zip"_s);
  std::thread ui([&] {
    item.setSuggestedName(u"f.zip"_s);
    item.setSavePath(u"/home/u/f.zip"_s);
  });
  // The worker polls the way it does while it waits for the user's choice.
  while (item.getSavePath().isNull()) std::this_thread::yield();
  ui.join();
  EXPECT_EQ("/home/u/f.zip", narrow(item.getSavePath()));
  EXPECT_EQ("f.zip", narrow(item.getSuggestedName()));
}
