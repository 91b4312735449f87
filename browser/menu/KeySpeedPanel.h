#pragma once

class PanelScreen;

// The key-scroll tuning (settings entries 6-9): first step, acceleration threshold, second step and
// maximum speed, each a slider (mode 23).
class KeySpeedPanel {
 public:
  // Steps in hundredths of a pixel per tick; maximumSpeed 99900 means none. A new panel; the caller
  // owns it.
  static PanelScreen* create(int firstStep, int threshold, int secondStep, int maximumSpeed);
};
