#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A seeded random input script for the browser's window (the scripted-input format): key presses,
// held keys, taps anywhere, drags and fast drags (throws), typed letters (link hints: "f" and then
// hint letters), soft keys, back, waits and idles, with dialog answers queued now and then. The
// same seed and screen size give the same script on every run, so that a failure can be repeated.
class MonkeyScript {
 public:
  enum Kind { KEY, HELD_KEY, TAP, DRAG, THROW, TYPE, HINT, SOFT_KEY, BACK, WAIT, IDLE, ANSWER, KINDS };

  MonkeyScript(uint32_t seed, int screenWidth, int screenHeight)
      : state_(seed * 2654435761u + 0x9E3779B9u), width_(screenWidth), height_(screenHeight) {
    if (state_ == 0) state_ = 1;
  }

  // events random events, then an idle and quit; one command a line.
  std::string generate(int events) {
    std::string out = "# monkey\nidle\n";
    for (int i = 0; i < events; ++i) out += event();
    return out + "idle\nquit\n";
  }

  int count(Kind kind) const { return counts_[kind]; }
  static const char* name(Kind kind) {
    static const char* const NAMES[KINDS] = {"key",  "held", "tap",  "drag", "throw", "type",
                                             "hint", "soft", "back", "wait", "idle",  "answer"};
    return NAMES[kind];
  }
  // "key 12, held 3, ..." for the report.
  std::string summary() const {
    std::string s;
    for (int k = 0; k < KINDS; ++k)
      s += std::string(k ? ", " : "") + name(Kind(k)) + " " + std::to_string(counts_[k]);
    return s;
  }

 private:
  // xorshift32: small, and the same sequence with every library.
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<uint32_t>(n)) : 0; }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  std::string x() { return std::to_string(below(width_)); }
  std::string y() { return std::to_string(below(height_)); }

  std::string event() {
    // Weights: mostly moving about and tapping, now and then the rarer roads.
    static const int WEIGHTS[KINDS] = {24, 8, 16, 7, 8, 3, 5, 5, 6, 6, 4, 3};
    int total = 0;
    for (int w : WEIGHTS) total += w;
    int pick = below(total), kind = 0;
    while (pick >= WEIGHTS[kind]) pick -= WEIGHTS[kind++];
    ++counts_[kind];
    switch (Kind(kind)) {
      case KEY: {
        static const char* const KEYS[] = {"up", "down", "left", "right", "select", "down", "up",
                                           "1",  "2",    "3",    "4",     "5",      "6",    "7",
                                           "8",  "9",    "0",    "star",  "pound",  "shift"};
        return std::string("key ") + KEYS[below(sizeof KEYS / sizeof *KEYS)] + "\n";
      }
      case HELD_KEY: {
        // Held past the repeat delay now and then, so that key scrolling accelerates.
        static const char* const HELD[] = {"down", "up", "left", "right", "select", "down"};
        std::string key = HELD[below(sizeof HELD / sizeof *HELD)];
        return "key " + key + " down\nwait " + std::to_string(between(60, 700)) + "\nkey " + key + " up\n";
      }
      case TAP:
        return "tap " + x() + " " + y() + "\n";
      case DRAG:
        return "drag " + x() + " " + y() + " " + x() + " " + y() + " " + std::to_string(between(120, 400)) +
               "\n";
      case THROW:
        return "drag " + x() + " " + y() + " " + x() + " " + y() + " " + std::to_string(between(20, 90)) +
               "\n";
      case TYPE: {
        static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789 ";
        std::string text;
        for (int n = between(1, 6); n > 0; --n) text += LETTERS[below(sizeof LETTERS - 1)];
        if (text.back() == ' ') text.back() = 'x';
        if (text.front() == ' ') text.front() = 'x';
        return "type " + text + "\n";
      }
      case HINT: {
        // Link hints: "f", then one or two hint letters, or giving up with escape.
        static const char HINTS[] = "asdfghjkl";
        std::string out = "type f\n";
        if (below(5) == 0) return out + "key escape\n";
        std::string letters;
        for (int n = between(1, 2); n > 0; --n) letters += HINTS[below(sizeof HINTS - 1)];
        return out + "type " + letters + "\n";
      }
      case SOFT_KEY:
        return below(2) ? "key soft1\n" : "key soft2\n";
      case BACK: {
        static const char* const BACKS[] = {"back", "backspace", "escape", "soft1"};
        return std::string("key ") + BACKS[below(4)] + "\n";
      }
      case WAIT:
        return "wait " + std::to_string(between(10, 300)) + "\n";
      case IDLE:
        return "idle\n";
      case ANSWER:
        // A dialog that opens later takes it: mostly the first button, sometimes the second.
        return below(3) ? "answer 1\n" : "answer 2\n";
      case KINDS:
        break;
    }
    return std::string();
  }

  uint32_t state_;
  int width_, height_;
  int counts_[KINDS] = {};
};
