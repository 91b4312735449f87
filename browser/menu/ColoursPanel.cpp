#include "browser/menu/ColoursPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* ColoursPanel::create(int paletteSet) {
  PanelScreen* panel = new PanelScreen(12, Resource::getString(10363));
  panel->addText(Resource::getString(10364));
  panel->addChoice(Resource::getString(10365), paletteSet != 1, ScreenResult::runAndKeep(PANEL_PALETTE, 0));
  panel->addChoice(Resource::getString(10366), paletteSet == 1, ScreenResult::runAndKeep(PANEL_PALETTE, 1));
  return panel;
}
