#include "browser/menu/BookmarkFilePanel.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

PanelScreen* BookmarkFilePanel::create(int bookmarks) {
  PanelScreen* panel = new PanelScreen(31, Resource::getString(10441));
  panel->addText(Resource::getString(10369, String(bookmarks)));
  panel->addButton(Resource::getString(10442), ScreenResult::run(PANEL_IMPORT_BOOKMARK_FILE));
  panel->addButton(Resource::getString(10443), ScreenResult::run(PANEL_EXPORT_BOOKMARK_FILE));
  panel->addButton(Resource::getString(10444), ScreenResult::run(COMMAND_IMPORT_FAVORITES));
  panel->addButton(Resource::getString(10445), ScreenResult::run(COMMAND_BACKUP));
  panel->addButton(Resource::getString(10446), ScreenResult::run(COMMAND_RESTORE));
  return panel;
}
