#pragma once

#include <cstdint>
#include <memory>

#include "vwt/lang/String.h"

class DownloadItem;
class Graphics;
namespace vwt {
class Font;
}

// Draws one queued download as a block of three lines: the file's name, the sizes with the
// percentage and the rate, and a progress bar. The font's height comes from the display's smaller
// side, so that blocks look the same in either orientation.
class ItemBlockPainter {
 public:
  // The variable-pitch face of the program's texts.
  static const int FACE = 0x73000000;
  static const int MARGIN = 10;
  static const int TEXT_COLOR = static_cast<int>(0xFF000000u);
  static const int BAND_RGB = 0xFFFFFF;
  static const int BAR_COLOR = static_cast<int>(0xFF10DA2Eu);
  // The rate is shown once the transfer has run this long.
  static const int RATE_AFTER_MS = 2000;

  // width: the window's width, the default for a display size the properties do not give.
  explicit ItemBlockPainter(int width);
  ~ItemBlockPainter();
  ItemBlockPainter(const ItemBlockPainter&) = delete;
  ItemBlockPainter& operator=(const ItemBlockPainter&) = delete;

  // The font height: min(display width, display height) / 20.
  int getLineHeight() const;
  // The block's height: three lines.
  int getBlockHeight() const { return 3 * getLineHeight(); }

  // Draws item's block at y in a window width pixels wide; now is the boot clock in milliseconds.
  void paint(Graphics* g, const DownloadItem& item, int y, int width, int64_t now);

  // The texts of the first two lines.
  static String nameLine(const String& url);
  static String sizeLine(int64_t received, int64_t total, int64_t elapsedMs);
  // The bar's filled width inside an outline width pixels wide.
  static int fillWidth(int width, int64_t received, int64_t total);

 private:
  std::unique_ptr<vwt::Font> font_;
};
