#pragma once

// What the settings defaults depend on: the canvas's screen detection,
// computed once per run and handed to the store.
struct SettingsDefaults {
  bool highResolution = false;
  int windowHeight = 0;
  bool scalableFonts = false;
  // The canvas's start-up flag for the second colour palette.
  bool alternatePalette = false;
  // With scalable fonts: the index in the canvas's font list of the font
  // for size max(12, image height / 20), and of the font for size 12.
  int pageFontIndex = 0;
  int baseFontIndex = 0;

  // The default of settings entry 0-22.
  int valueOf(int entry) const {
    switch (entry) {
      case 6:
        return highResolution ? 600 : 0;
      case 8:
        return highResolution ? 2400 : 0;
      case 9:
        return windowHeight * 100;
      case 14:
        return 'G';
      case 17:
        return alternatePalette ? 1 : 0;
      case 18:
      case 19:
        return scalableFonts ? pageFontIndex : 0;
      case 20:
        return scalableFonts ? baseFontIndex : 0;
      default:
        return 0;
    }
  }
};
