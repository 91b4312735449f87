// A tour of what Graphics draws: pen lines and outlines, ellipses, polygons, hatching, a
// translucent fill over text, text in two sizes and scripts, and a colour-keyed sprite. It is the
// picture in the README (tools/make-pictures runs it headless and takes a shot).

#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

class DrawingTour : public Frame {
 public:
  explicit DrawingTour(Application* app)
      : Frame(app, u"Drawing tour"_s), small_(vwt::Font::getFont(0x400)), large_(vwt::Font::getFont(0x200)) {
    // A sprite whose magenta background is keyed out when it is drawn.
    sprite_.reset(Image::createImage(24, 24, 0xFF00FF));
    Graphics* s = sprite_->getGraphics();
    s->setColor(0x208040);
    s->fillArc(2, 2, 20, 20, 0, 360);
    s->setColor(0xFFFFFF);
    s->fillRect(10, 6, 4, 12);
    sprite_->setTransparentColor(0xFF00FF);
  }

  void onPaint(Graphics* g) override {
    g->setColor(0xF4F4F0);
    g->fillRect(0, 0, getWidth(), getHeight());
    g->setColor(0xD8D8D0);
    g->fillAreaWithLine(0, 0, getWidth(), getHeight(), 30);  // the empty canvas's shading

    g->setFont(small_.get());
    caption(g, 8, 14, u"lines and outlines"_s);
    g->setColor(0x2040A0);
    for (int i = 0; i < 5; ++i) g->drawLine(8, 22 + i * 6, 60 + i * 12, 52);
    g->drawRect(80, 22, 30, 30);  // covers 31 x 31 pixels
    int xs[] = {120, 150, 165, 135}, ys[] = {52, 22, 40, 30};
    g->setColor(0xC04020);
    g->fillPolygon(xs, ys, 4);

    caption(g, 8, 68, u"ellipses"_s);
    g->setColor(0x208040);
    g->fillArc(8, 74, 60, 30, 0, 360);
    g->drawArc(76, 74, 30, 30, 0, -360);
    g->drawArc(114, 74, 30, 30, 0, 180);  // less than a whole ellipse: nothing

    caption(g, 8, 120, u"translucent fill over text"_s);
    g->setFont(large_.get());
    g->setColor(0x000000);
    g->drawString(u"Vesk browser"_s, 8, 146);
    g->setColorARGB(0x802060E0);
    g->fillRect(4, 128, 120, 24);

    g->setFont(small_.get());
    caption(g, 8, 168, u"text"_s);
    g->setColor(0x000000);
    g->drawString(u"12 px: the quick brown fox"_s, 8, 184);
    g->setFont(large_.get());
    g->drawStringBG(u"日本語のテキスト"_s, 8, 206, 0xFFF0A0);

    g->setFont(small_.get());
    caption(g, 8, 226, u"colour-keyed sprite, scaled"_s);
    g->drawImage(sprite_.get(), 8, 234);
    g->drawScaledImage(sprite_.get(), 40, 230, 36, 36, 0, 0, 24, 24);
  }

 private:
  static void caption(Graphics* g, int x, int y, const String& text) {
    g->setColor(0x606060);
    g->drawString(text, x, y);
  }

  AutoPtr<vwt::Font> small_, large_;
  AutoPtr<Image> sprite_;
};

}  // namespace

int main() {
  Application app;
  app.setArgument(nullptr, nullptr, String(), 1, true);
  DrawingTour* frame = new DrawingTour(&app);  // the application deletes it
  if (!frame->initializeWindow(u"DrawingTour"_s, 0, 0, 0, 0)) return 1;
  return app.run();
}
