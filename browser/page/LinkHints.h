#pragma once

#include <functional>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/String.h"

class Graphics;
namespace vwt {
class Font;
}

// Keyboard link hints: a short label on every link, map area and form control in the view; typing a
// label picks its item. Labels are made of the home-row letters "asdfghjkl", all of one length, the
// shortest that gives every item its own, handed out in reading order (top to bottom, then left to
// right). The hints hold the page's structure items without owning them: close() them before the page
// goes.
class LinkHints {
 public:
  // The letters labels are made of.
  static constexpr const char16_t* ALPHABET = u"asdfghjkl";
  static constexpr int ALPHABET_SIZE = 9;
  // More items than this in view get no label.
  static constexpr int MAX_LABELS = 26 * 26;
  // The label box's colours.
  static constexpr int FILL_COLOR = 0xFFE070;
  static constexpr int FRAME_COLOR = 0x403000;
  static constexpr int TEXT_COLOR = 0x000000;
  static constexpr int TYPED_COLOR = 0x9A8A50;

  // The outline of a LINK, AREA or CONTROL in zoomed page pixels: appends (x, y, w, h) quadruples.
  typedef std::function<void(RenderItem* item, int zoom, bool reflow, std::vector<int>* rects)> Outline;

  // Outlines come from HitTest::outline.
  LinkHints();
  // Outlines come from `outline` (tests lay items out with it).
  explicit LinkHints(Outline outline);

  // Labels for every LINK, AREA and CONTROL with a rectangle in the view (zoomed page px scroll, view
  // size). Not active when none is in view. The caller holds the page lock.
  void show(Page& page, int scrollX, int scrollY, int viewWidth, int viewHeight, int zoom, bool reflow);
  bool active() const { return !hints_.empty(); }

  enum Answer { PENDING, CHOSEN, CLOSED, IGNORED };
  // A typed character. Letters narrow the labels (either case): PENDING while some still begin with
  // the letters typed, CHOSEN on a whole label (chosen() is its item; the hints close), CLOSED when
  // none does. Escape closes, Backspace takes the last letter back (closes when there is none).
  // IGNORED for anything else, and for everything while not active.
  Answer type(char16_t c);
  // The item of the label typed last; null until one is, and after close() or show().
  RenderItem* chosen() const { return chosen_; }
  void close();

  // Labels over the screen: each at its item's top-left corner, kept inside the view, nudged right
  // off a label drawn before it on the same spot. The view starts at the screen's top-left corner.
  void draw(Graphics& g, vwt::Font* font, int scrollX, int scrollY);

  // The labels shown, in reading order, and the letters typed so far (for tests and the canvas).
  int count() const { return static_cast<int>(hints_.size()); }
  String label(int i) const;
  RenderItem* item(int i) const;
  const String& typed() const { return typed_; }

  // The label of the i-th of `count` items.
  static String labelFor(int i, int count);

 private:
  struct Hint {
    RenderItem* item;  // not owned
    int x, y;          // the label's corner, zoomed page pixels
    String label;
  };

  bool matches(const Hint& hint) const;

  Outline outline_;
  std::vector<Hint> hints_;
  String typed_;
  RenderItem* chosen_ = nullptr;  // not owned
  int viewWidth_ = 0;
  int viewHeight_ = 0;
};
