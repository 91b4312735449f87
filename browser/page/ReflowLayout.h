#pragma once

#include <cstdint>
#include <vector>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

class Page;
class ReflowHost;
class RenderItem;

// The single-column view of a page: text runs broken into lines of the view
// width, images and form controls scaled to fit, one line under the other.
// Built one page item at a time (start, addItem for each main-list item,
// finish), during the parse or over a parsed page (build). The layout owns
// the items it derives; each is linked both ways with the page item it comes
// from through their refs, so the page must outlive the layout, and a page
// that stays after its layout is dropped is cleaned with resetItems.
class ReflowLayout {
 public:
  typedef Vector<RenderItem*> Line;

  // Canvas flag bits the layout reads.
  static constexpr int FLAG_NO_IMAGES = 0x40;
  static constexpr int FLAG_PAGE_COLOURS = 0x100000;
  // Item flag bit: the line ends after this item.
  static constexpr int LINE_END = 0x1000000;
  // Item flag bits of TEXT kept by the derived text (underline, bold, line through).
  static constexpr int TEXT_STYLE = 0x7;
  static constexpr int LINK_COLOUR = 0x0000FF;
  static constexpr int WHITE = 0xFFFFFF;
  static constexpr int BLACK = 0x000000;
  // Searches for a break place within one text item that may find none
  // before the rest of the item is cut where the line is full.
  static constexpr int MAX_FRUITLESS_SEARCHES = 4;
  // Items past this depth are not placed: y stays far from overflow.
  static constexpr int MAX_DEPTH = 1 << 29;
  // A page item this far below the one placed before it starts a new block: a new line.
  static constexpr int BLOCK_GAP = 3;
  // Text runs this far apart on one row of the page had a space between them.
  static constexpr int WORD_GAP = 2;

  explicit ReflowLayout(ReflowHost* host);  // not owned
  ~ReflowLayout();
  ReflowLayout(const ReflowLayout&) = delete;
  ReflowLayout& operator=(const ReflowLayout&) = delete;

  // A new layout for page (not owned): drops the derived items, resets the
  // page's main-list items and marks link text when the page's structure
  // list is already there. Reads the view, zoom and fonts once.
  void start(Page* page);
  // One main-list item of the page, in list order.
  void addItem(RenderItem* item);
  // Ends the last line, marks and colours link text if not done yet,
  // collects the link positions and sets the page extent.
  void finish();
  // start, every main-list item, finish.
  void build(Page* page);

  // Drops the wrapped lines, scroll-bar children and derived-item links of
  // the page's main-list items.
  static void resetItems(Page* page);
  // Gives every TEXT item referenced by a structure item the link colour in color2.
  static void markLinkText(Page* page);

  // The lines; line i covers y from i * lineHeight() on (less zoom / 100).
  const Vector<Line*>& lines() const { return lines_; }
  // Derived images and controls, drawn directly.
  const Vector<RenderItem*>& looseItems() const { return loose_; }
  // Sorted positions y * view width + x of the derived link texts, images and controls.
  const std::vector<int64_t>& linkPositions() const { return linkPositions_; }
  int lineHeight() const { return lineHeight_; }
  int pageWidth() const { return pageWidth_; }
  int pageHeight() const { return pageHeight_; }
  // The lines' texts, a line feed after each line.
  String text() const;
  // The first derived ANCHOR whose name, lower-cased, equals fragment; null when none.
  RenderItem* findAnchor(const String& fragment) const;

 private:
  void addText(RenderItem* item);
  // The page tells blocks and word gaps only by where it puts its runs: a run well below the
  // last thing placed starts a line, one beside or under the last run gets a space before it.
  void separate(RenderItem* item);
  void remember(const RenderItem* item);
  // The anchors met since the last thing placed go on the current line.
  void placeAnchors();
  void addAnchor(RenderItem* item);
  // What was placed, in order, by page top (kept rising) for the anchors that come late.
  void record(const RenderItem* parent, RenderItem* derived);
  int64_t firstLineBottom() const { return fontHeight_ + zoom_ / 50; }
  void addImage(RenderItem* item);
  void addControl(RenderItem* item);
  // A derived image or control of this size on the current line, ending or deepening the line as needed.
  RenderItem* place(RenderItem* parent, int width, int height);
  int64_t charWidth(char16_t c) const;
  int textColour(const RenderItem* item) const;
  // A derived TEXT of text[from, to) at x on the current line.
  void emitText(RenderItem* parent, int from, int to, int64_t width, int colour);
  RenderItem* derive(RenderItem* parent, int type);
  void endLine();
  void pushDown(int height);
  bool lineHoldsAnything() const { return x_ > 0 || currentLine_->size() > 0; }
  void colourDerivedText();
  void collectLinkPositions();

  ReflowHost* host_;
  Page* page_ = nullptr;
  Vector<Line*> lines_;        // owns the lines, each line its items
  Vector<RenderItem*> loose_;  // owns the derived images and controls
  AutoPtr<Line> currentLine_;  // owns its items until it joins lines_
  std::vector<int64_t> linkPositions_;

  int viewWidth_ = 0, viewHeight_ = 0, zoom_ = 100;
  int available_ = 1;
  int lineHeight_ = 1;  // L
  int fontHeight_ = 0;  // page font line height
  bool halfWidthFace_ = false;
  int canvasFlags_ = 0;
  int background_ = WHITE;
  int64_t x_ = 0;
  int64_t lineBottom_ = 0;
  int64_t lineDepth_ = 1;
  int lineLooseStart_ = 0;  // the loose items from here on sit on the current line
  bool afterImage_ = false;
  bool imagesShown_ = true;
  bool linksIndexed_ = false;
  // The page rectangle of the item placed last, and the last character of the last text.
  bool placedAny_ = false, lastWasText_ = false;
  int64_t lastRight_ = 0, lastTop_ = 0, lastBottom_ = 0;
  char16_t lastChar_ = 0;
  std::vector<RenderItem*> anchorsWaiting_;  // page ANCHOR items
  std::vector<int64_t> placedTops_;
  std::vector<RenderItem*> placed_;  // derived items, the first of each page item placed
  int pageWidth_ = 0, pageHeight_ = 0;
};
