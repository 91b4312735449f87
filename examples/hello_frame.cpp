// The shortest toolkit program: a frame that draws a square, moves it with the arrow keys, jumps it
// to where the stylus touches, and makes it blink with a timer. Run it with a desktop (SDL) or
// headless with a script:
//   VWT_DISPLAY=headless VWT_INPUT_SCRIPT=demo.txt build/bin/hello_frame
// with demo.txt holding, say: "key right", "tap 100 100", "wait 300", "shot hello.png", "quit".

#include "vwt/lang/ShortTimer.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

namespace {

class HelloFrame : public Frame {
 public:
  explicit HelloFrame(Application* app) : Frame(app, u"Hello"_s) {}

  // Everything on screen is drawn here; other events change the state and ask for a repaint.
  void onPaint(Graphics* g) override {
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, getWidth(), getHeight());
    g->setColor(lit_ ? 0xD03030 : 0x3050D0);
    g->fillRect(x_, y_, SIDE, SIDE);
    g->setColor(0x000000);
    g->drawString(u"arrows, stylus, soft2 quits"_s, 4, 20);
  }

  void onKeyPressed(int key) override {
    switch (key) {
      case KEY_LEFT:
        x_ -= STEP;
        break;
      case KEY_RIGHT:
        x_ += STEP;
        break;
      case KEY_UP:
        y_ -= STEP;
        break;
      case KEY_DOWN:
        y_ += STEP;
        break;
      case KEY_SOFT2:
        Application::getCurrentApp()->terminate();
        return;
      default:
        return;
    }
    repaint();
  }

  void onPointerPressed(int x, int y) override {
    x_ = x - SIDE / 2;
    y_ = y - SIDE / 2;
    repaint();
  }

  void onTimerExpired(int) override {
    lit_ = !lit_;
    repaint();
  }

  void startBlinking() {
    blink_ = ShortTimer::getShortTimer(this, 1, 250, true);
    blink_->start();
  }

  ~HelloFrame() override { delete blink_; }

 private:
  static const int SIDE = 40;
  static const int STEP = 10;
  int x_ = 100, y_ = 120;
  bool lit_ = false;
  ShortTimer* blink_ = nullptr;  // owned
};

}  // namespace

int main() {
  Application app;
  app.setArgument(nullptr, nullptr, String(), 1, true);
  HelloFrame* frame = new HelloFrame(&app);  // the application deletes it
  if (!frame->initializeWindow(u"HelloFrame"_s, 0, 0, 0, 0)) return 1;
  frame->startBlinking();
  return app.run();
}
