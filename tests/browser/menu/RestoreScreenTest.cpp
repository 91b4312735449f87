#include <gtest/gtest.h>

#include <string>

#include "browser/menu/CommandId.h"
#include "browser/menu/RestoreScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "tests/browser/menu/ScreenCanvas.h"
#include "tests/browser/page/RendererTestHost.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

class RestoreScreenTest : public ::testing::Test {
 protected:
  ScreenResult press(RestoreScreen& screen, int key) {
    ScreenResult down = screen.key(0, key);
    ScreenResult up = screen.key(1, key);
    return up.action != ScreenResult::IGNORED ? up : down;
  }
  // Keys pressed in turn; the result of the last.
  ScreenResult keys(RestoreScreen& screen, std::initializer_list<int> codes) {
    ScreenResult last;
    for (int code : codes) last = press(screen, code);
    return last;
  }

  drawn::Scene scene;
  ScreenCanvas canvas{scene};
};

const int DOWN = Window::KEY_DOWN, SELECT = Window::KEY_SELECT;

TEST_F(RestoreScreenTest, ChoosesAmongTheSectionsFound) {
  struct {
    const char* name;
    int found;
    std::initializer_list<int> keys;  // from the first choice focused
    int restored;                     // -1: the screen closes without restoring
  } const cases[] = {
      {"everything found, all taken", 0x1F, {DOWN, DOWN, DOWN, DOWN, DOWN, SELECT}, 0x1F},
      {"bookmarks left out", 0x1F, {SELECT, DOWN, DOWN, DOWN, DOWN, DOWN, SELECT}, 0x1E},
      {"two found, the second left out", 0x11, {DOWN, SELECT, DOWN, SELECT}, 0x01},
      {"chosen twice is chosen", 0x04, {SELECT, SELECT, DOWN, SELECT}, 0x04},
      {"nothing chosen restores nothing", 0x02, {SELECT, DOWN, SELECT}, -1},
      {"unknown bits are dropped", 0x128, {DOWN, SELECT}, 0x08},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RestoreScreen screen(c.found);
    canvas.layout(screen);
    EXPECT_EQ(screen.mode(), 50);
    EXPECT_EQ(screen.chosen(), c.found & RestoreScreen::SECTIONS);
    ScreenResult result = keys(screen, c.keys);
    if (c.restored < 0) {
      EXPECT_EQ(result.action, ScreenResult::CLOSE);
    } else {
      EXPECT_EQ(result.action, ScreenResult::COMMAND);
      EXPECT_EQ(result.command, COMMAND_PANEL_BASE + 950);
      EXPECT_EQ(result.argument, c.restored);
    }
  }
}

TEST_F(RestoreScreenTest, ClosesWithoutRestoring) {
  RestoreScreen screen(0x1F);
  canvas.layout(screen);
  EXPECT_EQ(keys(screen, {SELECT}).action, ScreenResult::CHANGED);
  EXPECT_EQ(screen.chosen(), 0x1E);
  EXPECT_EQ(keys(screen, {Window::KEY_SOFT2}).action, ScreenResult::CLOSE);
}

TEST_F(RestoreScreenTest, Picture) {
  // Drawn as the canvas draws it, children through the renderer, with its default interface font.
  RendererTestHost host;
  host.loadIconStrip(std::string(VWT_SOURCE_DIR) + "/res/icon.gif");
  PageFonts fonts;
  fonts.setUp(false, 1, 1, 1);
  PageRenderer renderer(&host, &fonts);
  renderer.setViewSize(ScreenCanvas::WIDTH, ScreenCanvas::HEIGHT);

  RestoreScreen screen(0x1D);  // no option flags in this backup
  screen.layout(ScreenCanvas::WIDTH, ScreenCanvas::HEIGHT, fonts.interfaceFont());
  keys(screen, {DOWN, DOWN, SELECT});  // settings left out, the focus on them
  EXPECT_EQ(screen.chosen(), 0x15);
  AutoPtr<Image> image(Image::createImage(ScreenCanvas::WIDTH, ScreenCanvas::HEIGHT, 0xFFFFFF));
  renderer.drawItem(*image->getGraphics(), screen.item(), 0, 0, 100);
  EXPECT_TRUE(drawn::Scene::matches(image.get(), "restore-panel.png"));
}

}  // namespace
