#pragma once

// The arrow keys' scrolling: which direction keys are held and the speed that grows while they are.
// The speed is in hundredths of a pixel per tick; it grows by the first step until it reaches the
// threshold, then by the second step, up to the maximum.
class KeyScroll {
 public:
  // Toolkit key codes this piece knows.
  static constexpr int KEY_LEFT = 16;
  static constexpr int KEY_UP = 17;
  static constexpr int KEY_RIGHT = 18;
  static constexpr int KEY_DOWN = 19;
  static constexpr int KEY_LINE_UP = 48;    // counts as up, and moves by lines
  static constexpr int KEY_LINE_DOWN = 49;  // counts as down, and moves by lines
  static constexpr int NO_MAXIMUM = 99900;

  // The settings' four values, hundredths of a pixel per tick.
  struct Tuning {
    int firstStep = 600;
    int threshold = 0;
    int secondStep = 2400;
    int maximum = NO_MAXIMUM;
  };

  KeyScroll() = default;

  // Steps that are both 0 (the stored default of a small screen) would never move: they become a
  // gentle 100 up to a threshold of 1000 (when none is set), then 300.
  void setTuning(const Tuning& tuning);
  const Tuning& tuning() const { return tuning_; }

  // The direction key for a screen turned by orientation 0-3; other keys as they are.
  static int remap(int key, int orientation);
  static bool isDirection(int key);

  // A direction key (after remap) went down or up; other keys are ignored.
  void press(int key);
  void release(int key);
  bool anyHeld() const { return held_ != 0; }
  bool isHeld(int key) const { return bit(key) != 0 && (held_ & bit(key)) != 0; }
  bool upHeld() const;
  bool downHeld() const;
  bool leftHeld() const;
  bool rightHeld() const;

  // One tick: grows the speed and gives the movement in pixels; a held line key moves by two lines
  // of pageLineHeight (plus their gaps) instead. Nothing held: clears the speed, no movement.
  void step(int pageLineHeight, int* dx, int* dy);
  // The speed back to nothing (the keys stay held).
  void clear() { speed_ = 0; }
  int speed() const { return speed_; }
  bool belowThreshold() const { return speed_ < tuning_.threshold || speed_ == 0; }

 private:
  static int bit(int key);

  Tuning tuning_;
  int held_ = 0;  // one bit per key of bit()
  int speed_ = 0;
};
