#pragma once

#include <cstdint>

// The interface palette: 33 ARGB colours in two sets. Items with the
// interface-font flag and every browser-made item (menus, panels, the status
// bar) take their colours from the set the settings choose.
class Palette {
 public:
  static constexpr int ENTRIES = 33;

  // Entry of a set (0 or 1); 0 outside 0-32.
  static int colour(int set, int entry) {
    static const uint32_t table[2][ENTRIES] = {
        {0x30000000, 0xFF000000, 0xFF808080, 0xFF000000, 0x00000000, 0xFFFFCC00, 0xFF808080,
         0xFFFFFFFF, 0xFF808080, 0xFF8080FF, 0xFFFFFFFF, 0xFFECECEC, 0xFFB9B9FF, 0xFF8888FF,
         0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFF808080, 0xFFFFCC00, 0xFFFF0000, 0xFF000000,
         0xFFFFFFFF, 0xFFFFFFFF, 0xFF0000FF, 0xFF0000FF, 0xFF808080, 0xFFFFA500, 0xFFEEEEEE,
         0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF0000FF, 0x00000000},
        {0x30000000, 0xFFEEEEEE, 0xC0000000, 0xFFEEEEEE, 0x00000000, 0xE0FFFF00, 0xFF808080,
         0xC0FFFFFF, 0xFF808080, 0xC08080FF, 0x01000000, 0xC0000000, 0xC0B9B9FF, 0xC08888FF,
         0xF0E0E0E0, 0xF0E0E0E0, 0xA0C0C0C0, 0xA0808080, 0xF0FFCC00, 0xFFFF0000, 0xFFFFFFFF,
         0x50000000, 0xFFFFFFFF, 0xC0000000, 0xE08080B0, 0xFF808080, 0xFFFFA500, 0xFFEEEEEE,
         0xFFFFFFFF, 0xC0000000, 0xFFFFFFFF, 0xFF0000FF, 0x00000000}};
    if (set < 0 || set > 1 || entry < 0 || entry >= ENTRIES) return 0;
    return static_cast<int>(table[set][entry]);
  }

  // The colour rule: a colour keeps its alpha only when the interface is
  // translucent, the alpha is non-zero and the caller allows blending;
  // otherwise it is drawn opaque. Page colours arrive as 0xRRGGBB.
  static int forDrawing(int argb, bool translucent, bool allowBlend) {
    uint32_t c = static_cast<uint32_t>(argb);
    if (translucent && allowBlend && (c >> 24) != 0) return argb;
    return static_cast<int>(c | 0xFF000000u);
  }
};
