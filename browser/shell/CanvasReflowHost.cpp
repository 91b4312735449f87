#include "browser/shell/CanvasReflowHost.h"

#include <algorithm>

#include "browser/page/PageFonts.h"
#include "vwt/lang/String.h"
#include "vwt/ui/Font.h"

namespace {
const int CHAR_COUNT = 0x10000;
const int16_t NOT_MEASURED = -1;
const int MAX_WIDTH = 4096;
const int WHITE = 0xFFFFFF;
}  // namespace

CanvasReflowHost::CanvasReflowHost(PageFonts* fonts, Sources sources)
    : fonts_(fonts), sources_(std::move(sources)) {}

CanvasReflowHost::~CanvasReflowHost() = default;

int CanvasReflowHost::pageLineHeight() {
  vwt::Font* font = fonts_ ? fonts_->pageFont() : nullptr;
  return font ? font->getHeight() : 0;
}

int CanvasReflowHost::pageCharWidth(char16_t c) {
  vwt::Font* font = fonts_ ? fonts_->pageFont() : nullptr;
  if (!font) return 0;
  std::lock_guard<std::mutex> held(widthLock_);
  // A font made anew may take the old one's address: its size tells them apart.
  if (font != measured_ || font->getHeight() != measuredHeight_ || !widths_) {
    // Another font size: every width is measured again.
    if (!widths_) widths_.reset(new int16_t[CHAR_COUNT]);
    std::fill(widths_.get(), widths_.get() + CHAR_COUNT, NOT_MEASURED);
    measured_ = font;
    measuredHeight_ = font->getHeight();
  }
  int16_t& slot = widths_[c];
  if (slot == NOT_MEASURED) {
    String one(&c, 0, 1);
    slot = static_cast<int16_t>(std::max(0, std::min(font->substringWidth(one, 0, 1), MAX_WIDTH)));
  }
  return slot;
}

int CanvasReflowHost::pageFaceType() {
  vwt::Font* font = fonts_ ? fonts_->pageFont() : nullptr;
  return font ? font->getFaceType() : 0;
}

int CanvasReflowHost::interfaceLineHeight() {
  vwt::Font* font = fonts_ ? fonts_->interfaceFont() : nullptr;
  return font ? font->getHeight() : 0;
}

int CanvasReflowHost::canvasFlags() { return sources_.flags ? sources_.flags() : 0; }

int CanvasReflowHost::pageBackground() { return sources_.background ? sources_.background() : WHITE; }

CanvasReflowHost::View CanvasReflowHost::view() { return sources_.view ? sources_.view() : View(); }

int CanvasReflowHost::viewWidth() { return view().width; }

int CanvasReflowHost::viewHeight() { return view().height; }

int CanvasReflowHost::zoom() { return view().zoom; }

void CanvasReflowHost::setPageExtent(int width, int height) {
  if (sources_.extent) sources_.extent(width, height);
}
