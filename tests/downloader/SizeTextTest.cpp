#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "downloader/SizeText.h"
#include "tests/vwt/TestText.h"

TEST(SizeTextTest, WritesBytesKilobytesMegabytesAndGigabytes) {
  struct Case {
    int64_t n;
    const char* text;
  };
  const Case cases[] = {
      {0, "0B"},
      {1023, "1023B"},
      {1024, "1.00K"},
      {1536, "1.50K"},
      {1124, "1.09K"},  // 100/1024 of a K is 9 hundredths, written with two digits
      {1048575, "1023.99K"},
      {1048576, "1.00M"},
      {1073741823, "1023.99M"},
      {1073741824, "1.0G"},
      {5368709120LL + 123456789, "5.0G"},  // past 32 bits
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, narrow(SizeText::format(c.n))) << c.n;
}
