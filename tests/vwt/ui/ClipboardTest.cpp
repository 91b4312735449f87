#include <gtest/gtest.h>

#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/platform/Clipboard.h"
#include "vwt/ui/Clipboard.h"

namespace {

// The headless back end has no desktop clipboard: the text stays in the process.
class ClipboardTest : public WidgetScreen {
 protected:
  void SetUp() override { vwt::platform::Clipboard::clear(); }
  void TearDown() override { vwt::platform::Clipboard::clear(); }
};

TEST_F(ClipboardTest, TextComesBackAsItWasCopied) {
  EXPECT_FALSE(Clipboard::hasText());
  EXPECT_EQ(0, Clipboard::getText().length());
  const char16_t* const texts[] = {
      u"plain words",
      u"two\nlines\n",
      u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8",
      u"a pair \U0001F600 outside the basic plane",
  };
  for (const char16_t* t : texts) {
    Clipboard::setText(String(t, false));
    EXPECT_TRUE(Clipboard::hasText());
    EXPECT_TRUE(Clipboard::getText().equals(t));
  }
}

TEST_F(ClipboardTest, TheEditControlsAndTheBrowserShareOneClipboard) {
  open();
  Clipboard::setText(u"copied from a page"_s);
  EXPECT_TRUE(vwt::platform::Clipboard::getText() == u"copied from a page");
  vwt::platform::Clipboard::setText(u"cut from a field");
  EXPECT_TRUE(Clipboard::getText().equals(u"cut from a field"));
  // Copying nothing empties it.
  Clipboard::setText(String());
  EXPECT_FALSE(Clipboard::hasText());
}

}  // namespace
