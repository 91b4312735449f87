#include "browser/menu/MessagePanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* MessagePanel::create(const String& title, const String& text) {
  PanelScreen* panel = new PanelScreen(9, title);
  panel->addText(text);
  panel->addButton(Resource::getString(10010), ScreenResult::close());
  return panel;
}
