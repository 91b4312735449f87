// One queued download drawn as its three lines: the texts of each line, the bar, and the whole
// block against a checked-in picture.
#include <gtest/gtest.h>

#include <string>

#include "downloader/DownloadItem.h"
#include "downloader/ItemBlockPainter.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/PngWriter.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

const int WIDTH = 240, HEIGHT = 320;
const int WHITE = 0xFFFFFF;
const int BAR_RGB = 0x10DA2E;

class ItemBlockPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.write("system.ini", "display.width=240\ndisplay.height=320\n");
    image_ = Image::createImage(WIDTH, HEIGHT, WHITE);
  }
  int pixel(int x, int y) { return image_->getGraphics()->getRGBPixel(x, y) & 0xFFFFFF; }

  ScratchProgram program_;
  AutoPtr<Image> image_;
};

TEST_F(ItemBlockPainterTest, SizeLineShowsSizesPercentageAndRateOnceTwoSecondsHavePassed) {
  struct Case {
    int64_t received, total, elapsed;
    const char* line;
  } cases[] = {
      {51200, 102400, 0, "50.00K/100.00K 50%"},
      {51200, 102400, 2000, "50.00K/100.00K 50%"},
      {51200, 102400, 4000, "50.00K/100.00K 50% 12.50K/sec"},
      // Integer seconds: 2.9 s count as 2.
      {1000, 3000, 2900, "1000B/2.92K 33% 500B/sec"},
      // No length, or a length of 0: the received size alone.
      {5000, -1, 0, "4.88K"},
      {0, 0, 0, "0B"},
      {1048576, 1048576, 0, "1.00M/1.00M 100%"},
      // A server that sends more than it announced.
      {300, 200, 0, "300B/200B 150%"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.line, narrow(ItemBlockPainter::sizeLine(c.received, c.total, c.elapsed)))
        << c.received << "/" << c.total << " after " << c.elapsed;
}

TEST_F(ItemBlockPainterTest, NameLineIsTheUrlsFileNameOrTheWholeUrl) {
  struct Case {
    const char* url;
    const char* line;
  } cases[] = {
      {"http://127.0.0.1/files/report.pdf", "report.pdf"},
      {"http://127.0.0.1/files/report.pdf?x=1", "report.pdf"},
      {"http://127.0.0.1/files/", "http://127.0.0.1/files/"},
      {"http://127.0.0.1", "http://127.0.0.1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.line, narrow(ItemBlockPainter::nameLine(wide(c.url)))) << c.url;
}

TEST_F(ItemBlockPainterTest, BarFillIsTheReceivedShareOfTheInnerWidthAndNeverMore) {
  struct Case {
    int width;
    int64_t received, total;
    int fill;
  } cases[] = {
      {218, 50, 100, 109},  {218, 0, 100, 0}, {218, 100, 100, 218}, {218, 1, 3, 72},
      {218, 500, 100, 218}, {218, 50, -1, 0}, {218, 50, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.fill, ItemBlockPainter::fillWidth(c.width, c.received, c.total))
        << c.received << "/" << c.total << " of " << c.width;
}

TEST_F(ItemBlockPainterTest, BlockAtHalfOfAKnownLengthMatchesItsPicture) {
  ItemBlockPainter painter(WIDTH);
  const int h = painter.getLineHeight();
  ASSERT_EQ(WIDTH / 20, h);
  EXPECT_EQ(3 * h, painter.getBlockHeight());

  DownloadItem item(u"http://127.0.0.1:8080/files/report.pdf"_s);
  item.setTotalLength(102400);
  item.setReceived(51200);
  // A second block below the first, with no length known: only the outline of its bar.
  DownloadItem unknown(u"http://127.0.0.1:8080/"_s);
  unknown.setReceived(5000);
  Graphics* g = image_->getGraphics();
  painter.paint(g, item, 0, WIDTH, item.getStartTime() + 4000);
  painter.paint(g, unknown, painter.getBlockHeight(), WIDTH, unknown.getStartTime() + 1000);

  // The first bar: outline at the left margin, filled to half of the inner width.
  const int barY = 3 * h - 2;
  EXPECT_EQ(0, pixel(10, barY));
  EXPECT_EQ(BAR_RGB, pixel(11, barY));
  EXPECT_EQ(BAR_RGB, pixel(11 + 109 - 1, barY));
  EXPECT_EQ(WHITE, pixel(11 + 109, barY));
  EXPECT_EQ(0, pixel(WIDTH - 11, barY));
  EXPECT_EQ(WHITE, pixel(WIDTH - 10, barY));
  // The second bar has no fill.
  EXPECT_EQ(WHITE, pixel(11, barY + 3 * h));
  EXPECT_EQ(0, pixel(10, barY + 3 * h));

  std::string shot = program_.dir / "item-block.png";
  ASSERT_TRUE(vwt::platform::writePng(shot, image_->getSurface()->target()));
  EXPECT_TRUE(golden::matches(shot, "item-block.png", "tests/downloader/golden/"));
}

}  // namespace
