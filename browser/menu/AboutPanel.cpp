#include "browser/menu/AboutPanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* AboutPanel::create() {
  PanelScreen* panel = new PanelScreen(110, Resource::getString(10360));
  for (int id = 10154; id <= 10157; ++id) panel->addText(Resource::getString(id));
  panel->addButton(Resource::getString(10010), ScreenResult::close());
  return panel;
}
