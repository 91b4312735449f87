#include "browser/page/PageFonts.h"

#include <string>

#include "vwt/lang/Exception.h"
#include "vwt/lang/VectorV.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

// Fixed fonts by the order of the font-size setting.
const int FIXED_CODES[PageFonts::FIXED_FONT_COUNT] = {0x70000400, 0x70000100, 0x70000200, 0x70000300};
const int FIXED_FACE = 0x73100000;

const char WIDTH_ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

const char16_t WIDTH_RANGES[][2] = {{0x20, 0x7E},     {0x2010, 0x203B}, {0x2103, 0x21E9}, {0x3000, 0x309E},
                                    {0x30A1, 0x30FF}, {0xFF01, 0xFF5E}, {0xFF61, 0xFFE5}};

const char16_t WIDE_SAMPLE = u'\u6F22';  // a full-width ideograph

}  // namespace

PageFonts::PageFonts() : measuring_(Image::createImage(1, 1, 0xFFFFFF)) {}

PageFonts::~PageFonts() = default;

String PageFonts::charWidthTable(const std::function<int(char16_t)>& width) {
  std::u16string table;
  table.reserve(CHAR_WIDTH_COUNT);
  for (const auto& r : WIDTH_RANGES)
    for (int c = r[0]; c <= r[1]; ++c) {
      int w = width(static_cast<char16_t>(c));
      table += static_cast<char16_t>(WIDTH_ALPHABET[w < 0 ? 0 : (w > 63 ? 63 : w)]);
    }
  return String(table.c_str(), 0, static_cast<int>(table.size()));
}

void PageFonts::makeFontList(bool scalable) {
  fonts_.clear();
  if (scalable) {
    VectorV<int> sizes;
    try {
      vwt::Font::getSupportedFontSizes(sizes);
    } catch (const Exception&) {
      sizes.setSize(0);
    }
    for (int i = 0; i < sizes.size() && fonts_.size() < MAX_FONTS; ++i) {
      int size = sizes.elementAt(i);
      // A size the handset could not have is left out rather than clamped: the list order is the
      // setting's order, and a made-up entry would shift it less than a wrong one.
      if (size < 1 || size > MAX_FONT_HEIGHT) continue;
      fonts_.addElement(vwt::Font::getFont(vwt::Font::FACE_VARIABLE_PITCH, size));
    }
  }
  if (fonts_.size() == 0)
    for (int code : FIXED_CODES) fonts_.addElement(vwt::Font::getFont(code | FIXED_FACE));
}

vwt::Font* PageFonts::fontAt(int index) const {
  return index >= 0 && index < fonts_.size() ? fonts_.elementAt(index) : nullptr;
}

int PageFonts::fontCount() const { return fonts_.size(); }

vwt::Font* PageFonts::pick(int index) const {
  int n = fonts_.size();
  if (n == 0) return nullptr;
  return fonts_.elementAt(index < 0 ? 0 : (index >= n ? n - 1 : index));
}

void PageFonts::setUp(bool scalable, int pageIndex, int interfaceIndex, int baseIndex) {
  interfaceFont_ = pageFont_ = baseFont_ = nullptr;
  makeFontList(scalable);
  interfaceFont_ = pick(interfaceIndex);
  pageFont_ = pick(pageIndex);
  baseFont_ = pick(baseIndex);
  measureBase();
  int baseHeight = baseFont_->getHeight();
  baseZoom_ = baseHeight > 0 ? 100 * pageFont_->getHeight() / baseHeight : 100;
  if (baseZoom_ < 1) baseZoom_ = 100;
  // Every font stays bound to the measuring context until a drawing context takes it.
  Graphics* g = measuring_->getGraphics();
  for (int i = 0; i < fonts_.size(); ++i) g->setFont(fonts_.elementAt(i));
}

void PageFonts::measureBase() {
  vwt::Font* font = baseFont_;
  int lineHeight = font->getHeight() > 0 ? font->getHeight() : 1;
  int width = lineHeight / 2 > 0 ? lineHeight / 2 : 1;
  AutoPtr<Image> scratch(Image::createImage(width, 2 * lineHeight, 0xFFFFFF));
  Graphics* g = scratch->getGraphics();
  g->setFont(font);
  g->setColor(0x000000);
  // The baseline in the middle leaves room for a face that draws below or above its cell.
  int baseline = lineHeight;
  g->drawString(u"h"_s, 0, baseline);
  int lowest = baseline - 1;
  for (int y = 2 * lineHeight - 1; y >= 0; --y) {
    bool ink = false;
    for (int x = 0; x < width && !ink; ++x) ink = (g->getRGBPixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    if (ink) {
      lowest = y;
      break;
    }
  }
  textOffset_ = offsetFromInk(baseline, lowest);

  metrics_.ascent = font->getAscent();
  metrics_.descent = font->getDescent();
  metrics_.lineHeight = interfaceFont_->getHeight();
  metrics_.wideCharWidth = font->charWidth(WIDE_SAMPLE);
  metrics_.charWidths = charWidthTable([font](char16_t c) { return font->charWidth(c); });
}
