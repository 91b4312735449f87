#include "browser/menu/StartPagePanel.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* StartPagePanel::create(const String& homeUrl, const String& currentUrl) {
  PanelScreen* panel = new PanelScreen(28, Resource::getString(10412));
  panel->addButton(Resource::getString(10390), ScreenResult::run(COMMAND_HOME));
  panel->addButton(Resource::getString(10423), ScreenResult::run(COMMAND_BOOKMARKS));
  panel->addButton(Resource::getString(10436), ScreenResult::run(COMMAND_VISITED));
  if (currentUrl.length() > 0 && currentUrl != homeUrl) {
    ScreenResult makeHome = ScreenResult::run(PANEL_HOME_URL);
    makeHome.text = currentUrl;
    panel->addButton(Resource::getString(10413), makeHome);
  }
  return panel;
}
