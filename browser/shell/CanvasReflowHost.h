#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "browser/page/ReflowHost.h"

class PageFonts;
namespace vwt {
class Font;
}

// The reflow layout's view of the canvas: measures from the canvas's fonts,
// and the flags, view and zoom from sources the canvas gives. Layouts are
// built on the parsing thread and, when reflow is switched, on the interface
// thread with the page lock held: the sources must be safe there and must
// not take the page lock.
class CanvasReflowHost : public ReflowHost {
 public:
  struct View {
    int width = 0, height = 0;  // the page view in pixels
    int zoom = 100;
  };
  struct Sources {
    std::function<int()> flags;       // the stored canvas flag word
    std::function<View()> view;       // the page view's size and the zoom
    std::function<int()> background;  // may be empty: white (pages give their own)
    // Where the re-flowed page's size goes; may be empty.
    std::function<void(int width, int height)> extent;
  };

  // fonts: not owned, set up before the first layout.
  CanvasReflowHost(PageFonts* fonts, Sources sources);
  ~CanvasReflowHost() override;
  CanvasReflowHost(const CanvasReflowHost&) = delete;
  CanvasReflowHost& operator=(const CanvasReflowHost&) = delete;

  int pageLineHeight() override;
  int pageCharWidth(char16_t c) override;
  int pageFaceType() override;
  int interfaceLineHeight() override;
  int canvasFlags() override;
  int pageBackground() override;
  int viewWidth() override;
  int viewHeight() override;
  int zoom() override;
  void setPageExtent(int width, int height) override;

 private:
  View view();

  PageFonts* fonts_;
  Sources sources_;
  // Character widths of the page font, measured once each: the font's own
  // measuring is shared with the painting thread.
  std::mutex widthLock_;
  vwt::Font* measured_ = nullptr;  // the font the widths are of
  int measuredHeight_ = 0;
  std::unique_ptr<int16_t[]> widths_;
};
