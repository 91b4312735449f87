#include "browser/menu/ConfirmPanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* ConfirmPanel::create(const String& title, const String& text, int command) {
  PanelScreen* panel = new PanelScreen(4, title);
  panel->addText(text);
  panel->addButton(Resource::getString(10352), ScreenResult::run(command, 1));
  panel->addButton(Resource::getString(10353), ScreenResult::close());
  return panel;
}
