#include "browser/menu/CookiesPanel.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* CookiesPanel::create(const std::vector<String>& rows) {
  PanelScreen* panel = new PanelScreen(15, Resource::getString(10374));
  if (rows.empty()) {
    panel->addText(Resource::getString(10375));
    return panel;
  }
  // The button first: with many cookies it stays in reach.
  panel->addButton(Resource::getString(10377), ScreenResult::run(COMMAND_CLEAR_COOKIES));
  panel->addText(Resource::getString(10376, String(static_cast<int>(rows.size()))));
  for (const String& row : rows) panel->addText(row);
  return panel;
}
