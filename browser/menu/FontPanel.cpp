#include "browser/menu/FontPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* FontPanel::create(int mode, const std::vector<String>& names, int current) {
  int title, text, command;
  switch (mode) {
    case PAGE:
      title = 10383, text = 10386, command = PANEL_PAGE_FONT;
      break;
    case INTERFACE:
      title = 10384, text = 10387, command = PANEL_INTERFACE_FONT;
      break;
    case BASE:
      title = 10385, text = 10388, command = PANEL_BASE_FONT;
      break;
    default:
      return nullptr;
  }
  PanelScreen* panel = new PanelScreen(mode, Resource::getString(title));
  if (names.size() < 2) {
    panel->addText(Resource::getString(10389));
    return panel;
  }
  panel->addText(Resource::getString(text));
  for (size_t i = 0; i < names.size(); ++i) {
    const int index = static_cast<int>(i);
    panel->addChoice(names[i], index == current, ScreenResult::runAndKeep(command, index));
  }
  return panel;
}
