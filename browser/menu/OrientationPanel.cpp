#include "browser/menu/OrientationPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* OrientationPanel::create(int orientation) {
  PanelScreen* panel = new PanelScreen(26, Resource::getString(10407));
  for (int i = 0; i < 4; ++i)
    panel->addChoice(Resource::getString(10408 + i), orientation == i,
                     ScreenResult::runAndKeep(PANEL_ORIENTATION, i));
  return panel;
}
