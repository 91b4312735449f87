#include "browser/menu/PageInfoPanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* PageInfoPanel::create(const String& title, const String& url) {
  PanelScreen* panel = new PanelScreen(9, Resource::getString(10354));
  panel->addText(Resource::getString(10355));
  panel->addText(title.length() > 0 ? title : Resource::getString(10357));
  panel->addText(Resource::getString(10356));
  panel->addText(url);
  panel->addButton(Resource::getString(10010), ScreenResult::close());
  return panel;
}
