#pragma once

#include <memory>
#include <vector>

#include "browser/menu/Screen.h"
#include "vwt/lang/Object.h"
#include "vwt/lang/Vector.h"

class MenuScreen;

// The visited pages (mode 10), newest day first, each day's pages under its date. Select on a page
// returns COMMAND_ADDRESS with its URL.
class VisitedScreen : public Screen {
 public:
  // visited is the stored list (date header pairs and page pairs, see VisitedList); it is copied.
  explicit VisitedScreen(const Vector<Object*>& visited);
  ~VisitedScreen() override;

  int rowCount() const;
  // The URL of a page row; empty for a date row or a row outside the list.
  String urlAt(int row) const;

  int mode() const override;
  RenderItem* item() override;
  void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) override;
  ScreenResult key(int type, int key) override;
  ScreenResult tap(int x, int y) override;

 private:
  ScreenResult opened(ScreenResult result) const;

  std::unique_ptr<MenuScreen> menu_;
  std::vector<String> urls_;  // per row; empty for date rows
};
