#pragma once
// What the screen tests share: a 240 x 320 view with the interface font bound to it (a font measures only
// once bound to a graphics), and the open screen's item drawn on white with the overlay painter,
// compared with its golden picture.

#include <functional>
#include <string>

#include "browser/menu/Screen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

class ScreenCanvas {
 public:
  static const int WIDTH = 240;
  static const int HEIGHT = 320;

  explicit ScreenCanvas(drawn::Scene& scene)
      : scene_(scene), view_(Image::createImage(WIDTH, HEIGHT, 0xFFFFFF)) {
    view_->getGraphics()->setFont(scene.interfaceFont());
  }

  vwt::Font* font() { return scene_.interfaceFont(); }

  // Lays the screen out in the view.
  void layout(Screen& screen) { screen.layout(WIDTH, HEIGHT, font()); }

  ::testing::AssertionResult shot(
      Screen& screen, const std::string& name,
      const std::function<void(Graphics&, RenderItem*, int, int)>& drawChild = {}) {
    AutoPtr<Image> image(Image::createImage(WIDTH, HEIGHT, 0xFFFFFF));
    OverlayPainter::Style style;
    style.interfaceFont = font();
    style.iconStrip = scene_.iconStrip();
    style.drawChild = drawChild;
    RenderItem* it = screen.item();
    if (!it) return ::testing::AssertionFailure() << "no item";
    OverlayPainter::draw(*image->getGraphics(), it, it->x, it->y, it->width, it->height, style);
    // The view keeps the font bound for the next layout.
    view_->getGraphics()->setFont(font());
    return drawn::Scene::matches(image.get(), name);
  }

 private:
  drawn::Scene& scene_;
  AutoPtr<Image> view_;
};
