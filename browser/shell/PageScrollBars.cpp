#include "browser/shell/PageScrollBars.h"

#include <algorithm>

#include "vwt/ui/ScrollBar.h"

namespace {
const int TRACK = 0xF0F0F0, FRAME = 0xC0C0C0, KNOB = 0x6060A0;
}  // namespace

bool PageScrollBars::View::operator==(const View& o) const {
  return width == o.width && height == o.height && coveredBottom == o.coveredBottom &&
         pageWidth == o.pageWidth && pageHeight == o.pageHeight && scrollX == o.scrollX &&
         scrollY == o.scrollY;
}

PageScrollBars::PageScrollBars(Window* canvas) : canvas_(canvas) {}

PageScrollBars::~PageScrollBars() = default;

bool PageScrollBars::verticalShown() const { return vertical_ && vertical_->isVisible(); }

bool PageScrollBars::horizontalShown() const { return horizontal_ && horizontal_->isVisible(); }

void PageScrollBars::hide() {
  if (hidden_) return;
  hidden_ = true;
  if (vertical_) vertical_->setVisible(false);
  if (horizontal_) horizontal_->setVisible(false);
}

void PageScrollBars::update(const View& v) {
  if (!hidden_ && v == shown_) return;
  hidden_ = false;
  shown_ = v;
  // The page's own height leaves room for what covers the view's bottom: the bars measure against
  // the whole view and keep their tracks above it.
  int uncovered = std::max(1, v.height - v.coveredBottom);
  bool showV = v.pageHeight > v.height && v.width > THICKNESS * 2;
  bool showH = v.pageWidth > v.width && uncovered > THICKNESS * 2;
  // The horizontal bar leaves the corner to the vertical one.
  int trackV = std::max(1, uncovered - (showH ? THICKNESS : 0));
  int trackH = std::max(1, v.width - (showV ? THICKNESS : 0));
  if (showV) {
    if (!vertical_) {
      vertical_.reset(new ScrollBar(canvas_, v.width - THICKNESS, 0, THICKNESS, trackV, ScrollBar::VERTICAL));
      vertical_->setColor(TRACK, FRAME, KNOB);
    }
    vertical_->setPosition(v.width - THICKNESS, 0, THICKNESS, trackV);
    vertical_->setBarLength(v.pageHeight, v.height);
    vertical_->setButtonPosition(v.scrollY);
    vertical_->setVisible(true);
    vertical_->repaint();
  } else if (vertical_) {
    vertical_->setVisible(false);
  }
  if (showH) {
    if (!horizontal_) {
      horizontal_.reset(
          new ScrollBar(canvas_, 0, uncovered - THICKNESS, THICKNESS, trackH, ScrollBar::HORIZONTAL));
      horizontal_->setColor(TRACK, FRAME, KNOB);
    }
    horizontal_->setPosition(0, uncovered - THICKNESS, trackH, THICKNESS);
    horizontal_->setBarLength(v.pageWidth, v.width);
    horizontal_->setButtonPosition(v.scrollX);
    horizontal_->setVisible(true);
    horizontal_->repaint();
  } else if (horizontal_) {
    horizontal_->setVisible(false);
  }
}
