#include "browser/menu/SyncPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* SyncPanel::create(int serverValue, int bookmarks) {
  PanelScreen* panel = new PanelScreen(25, Resource::getString(10403));
  if (serverValue == 0) {
    panel->addText(Resource::getString(10406));
    return panel;
  }
  panel->addText(Resource::getString(10404, String(bookmarks)));
  panel->addButton(Resource::getString(10405), ScreenResult::run(PANEL_SYNC_OFF));
  return panel;
}
