#pragma once

#include <functional>

#include "browser/page/FontMetrics.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"
#include "vwt/ui/Font.h"

class Image;

// The font list the settings choose from, the three fonts chosen (page,
// interface, base) and what is measured on the base font: the vertical text
// offset of TEXT items, the base zoom and the measures the service lays
// pages out with. Owns every font it made.
class PageFonts {
 public:
  // The fixed fonts, in the order of the font-size setting.
  static constexpr int FIXED_FONT_COUNT = 4;
  // More sizes than this from the property are ignored.
  static constexpr int MAX_FONTS = 32;
  // Font heights are bounded where they come from settings or properties.
  static constexpr int MAX_FONT_HEIGHT = 256;
  // The characters of the width table.
  static constexpr int CHAR_WIDTH_COUNT = 851;

  PageFonts();
  ~PageFonts();
  PageFonts(const PageFonts&) = delete;
  PageFonts& operator=(const PageFonts&) = delete;

  // scalable: ask vwt::Font::getSupportedFontSizes (fixed fonts on failure); indexes from settings 18
  // (page), 19 (interface), 20 (base). An index outside the list takes the nearest font.
  void setUp(bool scalable, int pageIndex, int interfaceIndex, int baseIndex);
  // Null before setUp.
  vwt::Font* interfaceFont() { return interfaceFont_; }
  vwt::Font* pageFont() { return pageFont_; }
  vwt::Font* baseFont() { return baseFont_; }
  vwt::Font* fontAt(int index) const;
  int fontCount() const;
  int textOffset() const { return textOffset_; }  // vertical text offset of TEXT items from the "h" ink scan
  int baseZoom() const { return baseZoom_; }      // 100 * page line height / base line height
  FontMetrics metrics() const { return metrics_; }

  // One letter of the 64-letter alphabet per character of the measured ranges (851 letters).
  static String charWidthTable(const std::function<int(char16_t)>& width);
  // The offset from the lowest ink row of "h" drawn with its baseline at baselineRow.
  static int offsetFromInk(int baselineRow, int lowestInkRow) { return (baselineRow - lowestInkRow) / 2 + 1; }

 private:
  void makeFontList(bool scalable);
  vwt::Font* pick(int index) const;
  void measureBase();

  Vector<vwt::Font*> fonts_;  // owns the fonts
  vwt::Font* interfaceFont_ = nullptr;
  vwt::Font* pageFont_ = nullptr;
  vwt::Font* baseFont_ = nullptr;
  // Keeps the fonts measurable between draws: each font is bound to its context.
  AutoPtr<Image> measuring_;
  int textOffset_ = 1;
  int baseZoom_ = 100;
  FontMetrics metrics_;
};
