// The download window's command line and the short messages it takes, without a window.
#include <gtest/gtest.h>

#include <string>

#include "downloader/DownloadItem.h"
#include "downloader/Downloader.h"
#include "downloader/DownloaderCanvas.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"

namespace {

TEST(DownloaderCanvas, CommandLineChoosesTheModeTheItemAndItsHeadersOrTheRestartProgram) {
  struct Case {
    const char* commandLine;
    int mode;
    int queued;
    const char* url;
    const char* referer;
    const char* cookie;
    const char* restart;
  } cases[] = {
      // No arguments: save mode with nothing to do.
      {"", DownloaderCanvas::SAVE_MODE, 0, "", "", "", ""},
      {"/D", DownloaderCanvas::SAVE_MODE, 0, "", "", "", ""},
      {"/D \"http://h/a.zip\"", DownloaderCanvas::SAVE_MODE, 1, "http://h/a.zip", "", "", ""},
      {"/D \"http://h/a.zip\" \"http://h/p.html\" \"id=7; lang=en\"", DownloaderCanvas::SAVE_MODE, 1,
       "http://h/a.zip", "http://h/p.html", "id=7; lang=en", ""},
      // Empty pieces keep their places.
      {"/D \"http://h/a.zip\" \"\" \"id=7\"", DownloaderCanvas::SAVE_MODE, 1, "http://h/a.zip", "", "id=7",
       ""},
      {"/U \"http://h/new.bin\" \"/opt/vesk/veskBrowserQK\"", DownloaderCanvas::UPDATE_MODE, 1,
       "http://h/new.bin", "", "", "/opt/vesk/veskBrowserQK"},
      // Any first argument but "/D" is an update, which takes no cookie.
      {"/X \"http://h/new.bin\" \"prog\" \"id=7\"", DownloaderCanvas::UPDATE_MODE, 1, "http://h/new.bin", "",
       "", "prog"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    ScratchProgram program;
    program.write("system.ini", "service.host=127.0.0.1\n");
    Downloader app;
    app.setArgument(nullptr, nullptr, wide(c.commandLine), 1, false);
    DownloaderCanvas* canvas = new DownloaderCanvas(&app, u"veskDownloader"_s);  // the application owns it
    app.addFrame(canvas);
    canvas->takeArguments(app);
    EXPECT_EQ(c.mode, canvas->getMode());
    ASSERT_EQ(c.queued, canvas->getQueueSize());
    EXPECT_EQ(c.restart, narrow(canvas->getRestartProgram()));
    if (c.queued == 0) continue;
    const DownloadItem* item = canvas->getItem(0);
    EXPECT_EQ(c.url, narrow(item->getUrl()));
    EXPECT_EQ(c.referer, narrow(item->getReferer()));
    EXPECT_EQ(c.cookie, narrow(item->getCookie()));
  }
}

std::string utf16(const std::u16string& text, bool terminated = true) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  if (terminated) bytes += std::string(2, '\0');
  return bytes;
}

TEST(DownloaderCanvas, ShortMessageTextIsItsUtf16UpToTheFirstNul) {
  struct Case {
    std::string bytes;
    std::u16string text;
    bool null;
  } cases[] = {
      {utf16(u"\"http://h/a\"\t\"r\"\t\"c\""), u"\"http://h/a\"\t\"r\"\t\"c\"", false},
      // Without its NUL, or with something after it.
      {utf16(u"http://h/a", false), u"http://h/a", false},
      {utf16(u"http://h/a") + utf16(u"junk"), u"http://h/a", false},
      {utf16(u"http://h/\u00e9\u65e5"), u"http://h/\u00e9\u65e5", false},
      // An odd length is no UTF-16 text; an empty one no item.
      {utf16(u"http://h/a") + "x", u"", true},
      {utf16(u""), u"", true},
      {std::string(), u"", true},
      // Longer than any address the browser hands over.
      {utf16(u"http://h/" + std::u16string(70000, u'a')), u"", true},
  };
  for (const Case& c : cases) {
    String text = DownloaderCanvas::itemText(c.bytes.data(), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(c.null, text.isNull()) << c.bytes.size();
    EXPECT_EQ(c.text, std::u16string(text.getCString(), text.length()));
  }
}

}  // namespace
