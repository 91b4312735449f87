#include "browser/menu/LinkInfoPanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* LinkInfoPanel::create(const String& text, const String& url, bool internal) {
  PanelScreen* panel = new PanelScreen(9, Resource::getString(10358));
  panel->addText(Resource::getString(10359));
  panel->addText(text.length() > 0 ? text : Resource::getString(10357));
  panel->addText(Resource::getString(10356));
  // The service's own addresses mean nothing to the user.
  panel->addText(internal ? Resource::getString(10030) : url);
  panel->addButton(Resource::getString(10010), ScreenResult::close());
  return panel;
}
