#include "downloader/ItemBlockPainter.h"

#include <algorithm>

#include "downloader/DownloadItem.h"
#include "downloader/SizeText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/System.h"
#include "vwt/net/URL.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

namespace {

// A display side from the properties, def when it is not a positive number.
int displaySide(const char16_t* key, int def) {
  try {
    String value = System::getProperty(String(key, false));
    int n = value.isNull() ? 0 : Integer::parseInt(value, 0);
    return n > 0 ? n : def;
  } catch (const Exception&) {
    return def;
  }
}

}  // namespace

ItemBlockPainter::ItemBlockPainter(int width) {
  int side = std::min(displaySide(u"display.width", width), displaySide(u"display.height", width));
  font_.reset(vwt::Font::getFont(FACE, std::max(1, side / 20)));
}

ItemBlockPainter::~ItemBlockPainter() = default;

int ItemBlockPainter::getLineHeight() const { return font_->getHeight(); }

String ItemBlockPainter::nameLine(const String& url) {
  String name;
  try {
    name = URL(url).getFileName();
  } catch (const Exception&) {
    // Not an address that splits: the whole text names it.
  }
  return name.isNull() ? url : name;
}

String ItemBlockPainter::sizeLine(int64_t received, int64_t total, int64_t elapsedMs) {
  String line = SizeText::format(received);
  if (total >= 1) {
    int percent = static_cast<int>(static_cast<float>(received) / static_cast<float>(total) * 100);
    line = (((line + u"/") + SizeText::format(total)) + u" ") + String(percent) + u"%";
  }
  if (elapsedMs > RATE_AFTER_MS) {
    int64_t seconds = elapsedMs / 1000;
    line = (line + u" ") + SizeText::format(received / seconds) + u"/sec";
  }
  return line;
}

int ItemBlockPainter::fillWidth(int width, int64_t received, int64_t total) {
  if (total <= 0 || received <= 0 || width <= 0) return 0;
  int w =
      static_cast<int>(static_cast<float>(width) * static_cast<float>(received) / static_cast<float>(total));
  // A server that sends more than it announced does not draw past the outline.
  return std::min(w, width);
}

void ItemBlockPainter::paint(Graphics* g, const DownloadItem& item, int y, int width, int64_t now) {
  g->setFont(font_.get());
  g->setColorARGB(TEXT_COLOR);
  const int h = font_->getHeight(), a = font_->getAscent(), inner = width - 2 * MARGIN;
  const int64_t received = item.getReceived(), total = item.getTotalLength();
  g->drawStringBG(nameLine(item.getUrl()), MARGIN, y + h, inner, h, BAND_RGB);
  g->drawStringBG(sizeLine(received, total, now - item.getStartTime()), MARGIN, y + 2 * h, inner, h,
                  BAND_RGB);
  const int barTop = y + 3 * h - a;
  g->setColorARGB(TEXT_COLOR);
  g->drawRect(MARGIN, barTop, width - 21, a - 1);
  if (total > 0) {
    g->setColorARGB(BAR_COLOR);
    g->fillRect(MARGIN + 1, barTop + 1, fillWidth(width - 22, received, total), a - 2);
  }
}
