#pragma once

#include <memory>

class ScrollBar;
class Window;

// The page's position indicators: a thin vertical bar at the view's right edge and a horizontal one
// above what covers the view's bottom, each shown only while the page is larger than the view along
// it. They are windows of their own over the canvas, touched only when what they show changes.
class PageScrollBars {
 public:
  static const int THICKNESS = 4;

  struct View {
    int width = 0, height = 0;  // the view
    int coveredBottom = 0;      // rows at the view's bottom hidden by the status line
    int pageWidth = 0, pageHeight = 0;
    int scrollX = 0, scrollY = 0;
    bool operator==(const View& o) const;
  };

  explicit PageScrollBars(Window* canvas);  // not owned; the bars are its children
  ~PageScrollBars();
  PageScrollBars(const PageScrollBars&) = delete;
  PageScrollBars& operator=(const PageScrollBars&) = delete;

  void update(const View& view);
  // Hidden, for instance while the page is dragged.
  void hide();
  bool verticalShown() const;
  bool horizontalShown() const;
  ScrollBar* vertical() { return vertical_.get(); }
  ScrollBar* horizontal() { return horizontal_.get(); }

 private:
  Window* canvas_;
  std::unique_ptr<ScrollBar> vertical_;
  std::unique_ptr<ScrollBar> horizontal_;
  View shown_;
  bool hidden_ = true;
};
