#include "browser/shell/BrowserStatusBar.h"

#include <algorithm>
#include <cstdlib>

#include "browser/page/Palette.h"
#include "browser/shell/StatusBarHost.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Calendar.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

const int BACKGROUND = 11;  // bar background and box border
const int LABEL_FACE = 12;
const int TEXT = 1;
// Without a status font the toolkit's stock face is about this high.
const int STOCK_HEIGHT = 16;

vwt::Font* statusFontOf(StatusBarHost* host) { return host ? host->statusFont() : nullptr; }

int luminance(int rgb) {
  return (((rgb >> 16) & 255) * 299 + ((rgb >> 8) & 255) * 587 + (rgb & 255) * 114) / 1000;
}

// The text colour, or black or white when it would hardly show on the face (light text on the light
// label face of a dark scheme).
int readableOn(int face, int text) {
  if (std::abs(luminance(face) - luminance(text)) >= 96) return text;
  return luminance(face) >= 128 ? static_cast<int>(0xFF000000u) : static_cast<int>(0xFFFFFFFFu);
}

int heightOf(StatusBarHost* host) {
  vwt::Font* font = statusFontOf(host);
  return (font ? font->getHeight() : STOCK_HEIGHT) + 4;
}

}  // namespace

BrowserStatusBar::BrowserStatusBar(Window* canvas, StatusBarHost* host)
    : StatusBar(dynamic_cast<Frame*>(canvas), heightOf(host), u"veskBrowserQKStatusBar"_s),
      host_(host),
      clock_(&Calendar::getInstance) {
  setSize(canvas ? canvas->getWidth() : 0, heightOf(host));
}

BrowserStatusBar::~BrowserStatusBar() {}

void BrowserStatusBar::setStatusText(const String& text) {
  if (text.equals(statusText_)) return;
  statusText_ = text;
  // The text is part of the background drawing: without the flag a repaint keeps the old one.
  redrawAll_ = true;
  repaint();
}

void BrowserStatusBar::setLabel(const String& text, int index) {
  if (index < 0 || index > 1 || labels_[index].equals(text)) return;
  labels_[index] = text;
  labelsDirty_ = true;
  repaint();
}

void BrowserStatusBar::show(bool on) {
  if (!getHandle()) return;
  if (on && !shown_) redrawAll_ = labelsDirty_ = true;
  if (on != shown_) {
    setVisible(on);
    if (on) vwt::platform::WindowSystem::get().bringToTop(getHandle());
  }
  shown_ = on;
}

void BrowserStatusBar::setSize(int width, int height) {
  StatusBar::setSize(width, height);
  redrawAll_ = labelsDirty_ = true;
  repaint();
}

void BrowserStatusBar::onEraseBackground() {
  redrawAll_ = labelsDirty_ = true;
  repaint();
}

int BrowserStatusBar::fontHeight() const {
  vwt::Font* font = statusFontOf(host_);
  return font ? font->getHeight() : STOCK_HEIGHT;
}

void BrowserStatusBar::onPaint(Graphics* g) {
  if (!g || !host_) return;
  const int width = getWidth(), height = getHeight();
  if (width <= 0 || height <= 0) return;
  if (!buffer_.get() || buffer_->getWidth() != width || buffer_->getHeight() != height) {
    buffer_ = AutoPtr<Image>(Image::createImage(width, height, 0));
    redrawAll_ = labelsDirty_ = true;
  }
  draw(buffer_->getGraphics(), width, height);
  g->drawImage(buffer_.get(), 0, 0);
}

void BrowserStatusBar::draw(Graphics* g, int width, int height) {
  if (!g) return;
  // The bar is opaque: the scheme's translucent entries would blend into what it drew before.
  auto colour = [this](int entry) { return Palette::forDrawing(host_->schemeColour(entry), false, false); };
  vwt::Font* font = host_->statusFont();
  const int h = fontHeight(), a = font ? font->getAscent() : STOCK_HEIGHT;
  const int baseline = height + a - h - 2;

  if (redrawAll_) {
    g->setColorARGB(colour(BACKGROUND));
    g->drawLine(0, 0, width, 0);
  }
  g->setFont(font);

  int reserved = 0, left = 0, rightBox = 0;
  if (host_->showsSoftKeyLabels()) {
    const int box = h * 7 / 2, middle = h * 7 / 4;
    const bool two = host_->usesTwoLabels();
    for (int i = 0; i < (two ? 2 : 1); ++i) {
      const int x = i == 0 ? 0 : width - box;
      if (labelsDirty_) {
        // The border column right of the box too: the right box ends at the bar's edge.
        g->setColorARGB(colour(BACKGROUND));
        g->fillRect(x, 1, box, height);
        g->setColorARGB(colour(LABEL_FACE));
        g->fillRect(x, 1, box - 1, height - 2);
        g->setColorARGB(readableOn(colour(LABEL_FACE), colour(TEXT)));
        g->drawString(labels_[i], x + middle - g->stringWidth(labels_[i]) / 2, baseline);
      }
      reserved += box;
    }
    rightBox = two ? box : 0;
    labelsDirty_ = false;
    if (redrawAll_) {
      g->setColorARGB(colour(BACKGROUND));
      g->fillRect(box - 1, 1, width - reserved + 2, height - 1);
    }
    left = box + 1;
  } else if (redrawAll_) {
    g->setColorARGB(colour(BACKGROUND));
    g->fillRect(0, 0, width, height);
  }

  if (host_->showsClock()) {
    AutoPtr<Calendar> now(clock_ ? clock_() : nullptr);
    int room = h * 11 / 4 + h / 2;
    if (now.get()) {
      String text = Integer::toString(now->get(Calendar::HOUR_OF_DAY), 2) + u":"_s +
                    Integer::toString(now->get(Calendar::MINUTE), 2);
      const int textWidth = g->stringWidth(text);
      // Left of the right label box only: the left box does not stand between the clock and the edge.
      g->setColorARGB(colour(TEXT));
      g->drawStringBG(text, width - textWidth - rightBox - 2, baseline, colour(BACKGROUND));
      // Half a line between the status text and a clock wider than the usual room.
      room = std::max(room, textWidth + 2 + h / 2);
    }
    reserved += room;
  }

  if (redrawAll_ && width - reserved >= 1) {
    try {
      g->setClip(left, 0, width - reserved, height);
      g->setColorARGB(colour(TEXT));
      g->drawStringBG(statusText_, left, baseline, width - reserved, h, colour(BACKGROUND));
    } catch (const Exception&) {
      // A status text that cannot be drawn leaves the background as it is.
    }
    g->clearClip();
  }
  g->setFont(host_->pageFont());
  redrawAll_ = false;
}
