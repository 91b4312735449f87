#pragma once

namespace vwt {
class Font;
}

// What the status bar needs of the canvas that owns it: fonts, colours and the canvas's display
// settings. Called on the user interface thread while the bar paints.
class StatusBarHost {
 public:
  virtual ~StatusBarHost() = default;
  virtual vwt::Font* statusFont() = 0;  // the interface font
  virtual vwt::Font* pageFont() = 0;
  virtual int schemeColour(int entry) = 0;  // palette entry of the current set
  virtual bool showsSoftKeyLabels() = 0;
  virtual bool usesTwoLabels() = 0;
  virtual bool showsClock() = 0;
};
