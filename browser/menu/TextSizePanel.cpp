#include "browser/menu/TextSizePanel.h"

#include <algorithm>

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* TextSizePanel::create(int fontIndex, int fontCount) {
  PanelScreen* panel = new PanelScreen(11, Resource::getString(10361));
  panel->addText(Resource::getString(10362));
  const int last = std::max(0, fontCount - 1);
  panel->addSlider(0, std::min(std::max(fontIndex, 0), last), last, 1, PANEL_PAGE_FONT);
  return panel;
}
