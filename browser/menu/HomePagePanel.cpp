#include "browser/menu/HomePagePanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

namespace {
// The address entry's input mode and the longest address it takes.
const int URL_ENTRY_MODE = 1;
const int MAX_URL_LENGTH = 1024;

ScreenResult setHome(const String& url) {
  ScreenResult r = ScreenResult::run(PANEL_HOME_URL);
  r.text = url;
  return r;
}
}  // namespace

PanelScreen* HomePagePanel::create(const String& homeUrl, const String& currentUrl, const String& portalUrl) {
  PanelScreen* panel = new PanelScreen(22, Resource::getString(10390));
  panel->addText(homeUrl.length() > 0 ? homeUrl : Resource::getString(10391));
  panel->addButton(Resource::getString(10392), ScreenResult::entry(homeUrl, URL_ENTRY_MODE, MAX_URL_LENGTH));
  panel->setEntryResult(setHome(String()));
  if (currentUrl.length() > 0) panel->addButton(Resource::getString(10393), setHome(currentUrl));
  if (portalUrl.length() > 0) panel->addButton(Resource::getString(10394), setHome(portalUrl));
  return panel;
}
