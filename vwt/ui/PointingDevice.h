#pragma once

// A pointing device with nothing behind it: every reading is at rest.
class PointingDevice {
 public:
  static const int MAX_DIRECTION_X = 127;
  static const int MAX_DIRECTION_Y = 127;
  static const int MAX_DIRECTION_Z = 255;
  static int getX() { return 0; }
  static int getY() { return 0; }
  static int getDirectionX() { return 0; }
  static int getDirectionY() { return 0; }
  static int getDirectionZ() { return 0; }
  static int getMaxDirectionZ() { return MAX_DIRECTION_Z; }
};
