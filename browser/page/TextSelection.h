#pragma once

#include <cstdint>
#include <vector>

#include "vwt/lang/String.h"

class Page;
class PageFonts;
class RenderItem;
class ReflowLayout;
namespace vwt {
class Font;
}

// A stretch of page text the user marks to copy it. The text is the page's TEXT items in reading
// order (the page's list order in layout view, the lines in reflow view); a place in it is one
// number, the characters before it, and the selection runs from the anchor (where it started) to
// the focus (where it is now).
//
// How the user selects, on top of what the handset keys and taps do, which stays as it is:
// - shift + press starts a selection at the point (or moves the focus of the one there is) and
//   shift + drag extends it;
// - a double tap on text selects the word under it (the first tap is an ordinary tap);
// - shift + left/right extend by a character, shift + up/down by a line, starting at the pointer
//   when nothing is selected;
// - escape clears the selection; so does a plain press elsewhere.
//
// Points are in the pixels the view draws the page in, scroll included: zoomed page pixels in
// layout view, layout pixels in reflow view. The selection copies what it needs of the items
// (texts and rectangles), so a page that goes away leaves nothing dangling; the canvas calls
// setView with the page on screen before each event and each drawing, draws the highlight with
// SelectionPainter at (-scrollX, -scrollY) after the page and before the pointer, and copies the
// selection (when there is one) for the page-text command.
class TextSelection {
 public:
  // What is on screen. Nothing owned.
  struct View {
    Page* page = nullptr;
    ReflowLayout* layout = nullptr;  // the reflow view's layout; null in layout view
    int zoom = 100;
  };
  // A rectangle in the view's page pixels.
  struct Rect {
    int x, y, w, h;
  };

  // A second press this soon and this near the first one is a double tap.
  static constexpr int DOUBLE_TAP_MS = 400;
  static constexpr int DOUBLE_TAP_DISTANCE = 6;
  // Runs on one line this far apart (page pixels) had a space between them.
  static constexpr int WORD_GAP = 2;
  // The status text after a copy: "%1" is the number of characters copied.
  static constexpr int COPIED_MESSAGE = 10600;

  explicit TextSelection(PageFonts* fonts);  // not owned; measures the text as the page draws it
  ~TextSelection();
  TextSelection(const TextSelection&) = delete;
  TextSelection& operator=(const TextSelection&) = delete;

  // Another page or view mode clears the selection; the same one (after a zoom, say) keeps it.
  void setView(const View& view);

  // Each returns true when the event was the selection's: the canvas then only repaints.
  bool pointerPressed(int x, int y, bool shift);
  bool pointerPressedAt(int x, int y, bool shift, int64_t timeMs);  // with the time of the press
  bool dragged(int x, int y);
  bool released(int x, int y);
  // Key-down of key with shift held or not; (pointerX, pointerY) is the pointer, where a selection
  // made by keys starts.
  bool keyDown(int key, bool shift, int pointerX, int pointerY);
  // True for the key-up of a key whose key-down the selection took.
  bool keyUp(int key);

  void clear();
  bool hasSelection() const { return anchor_ >= 0 && anchor_ != focus_; }
  // The selected text in reading order, a line feed between lines; empty when nothing is selected.
  String selectedText() const;
  // Puts the selected text on the clipboard; false when nothing is selected.
  bool copy() const;
  // The rectangles to highlight, one per run of text the selection touches.
  std::vector<Rect> highlightRects() const;
  // True once after each change of what is selected (for a repaint).
  bool takeChanged();

  // The place nearest to the point; -1 when the view has no text.
  int placeAt(int x, int y) const;
  int anchor() const { return anchor_; }
  int focus() const { return focus_; }
  // Marks [from, to) in places.
  void select(int from, int to);
  // The word (or run of spaces, or single sign) around the point; false when no text is there.
  bool selectWordAt(int x, int y);
  // All places: the total number of characters.
  int length() const { return total_; }

 private:
  // One TEXT item as drawn: a copy of its text and rectangle.
  struct Run {
    String text;
    int x, y, w, h;
    int line;   // lines counted in reading order
    int start;  // places before it
    bool interfaceFont;
  };

  void buildRuns();
  void addRun(const RenderItem* item, int x, int y, int w, int h, int line);
  vwt::Font* fontOf(const Run& run) const;
  // The x of the place offset characters into run.
  int xOf(const Run& run, int offset) const;
  int offsetAt(const Run& run, int x) const;
  // The run holding a place; at the border of two runs, the earlier one.
  int runOf(int place) const;
  int placeOnLine(int line, int x) const;
  void moveFocus(int key);
  void setFocus(int place);
  bool sameSpot(int x, int y, int64_t timeMs) const;

  PageFonts* fonts_;
  View view_;
  std::vector<Run> runs_;
  int lineCount_ = 0;
  int total_ = 0;
  int anchor_ = -1, focus_ = -1;  // -1: none
  bool dragging_ = false;
  bool changed_ = false;
  int swallowedKey_ = -1;  // the key whose key-up is the selection's
  int64_t lastPressTime_ = 0;
  int lastPressX_ = 0, lastPressY_ = 0;
  bool lastPressValid_ = false;
};
