#pragma once

class NavigationHost;
class Page;
class PageRenderer;
class RenderItem;

// The least a person needs to look at pages: the arrow keys (and the wheel, which sends them)
// scroll by a fixed step within the page, Backspace and the left soft key go back, the right soft
// key goes forward, and a tap on a link follows it. The full page interaction replaces it.
class BasicNavigation {
 public:
  static const int SCROLL_STEP = 32;

  // Neither is owned.
  BasicNavigation(PageRenderer* renderer, NavigationHost* host) : renderer_(renderer), host_(host) {}

  // True when the key was used.
  bool keyPressed(int key);
  // A tap at view coordinates; true when it followed a link.
  bool tapped(int x, int y);
  // A new page starts at its top left.
  void pageChanged();

  // The page's LINK item with an item under the page point (x, y), or null; the last such link
  // wins, as the last drawn item is the one on top.
  static RenderItem* linkAt(const Page& page, int x, int y);
  // The largest scroll position in zoomed pixels for a page of that size shown in a view.
  static int scrollLimit(int pageSize, int viewSize, int zoom);

 private:
  void scrollBy(int dx, int dy);

  PageRenderer* renderer_;
  NavigationHost* host_;
};
