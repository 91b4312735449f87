#include "browser/menu/StoragePanel.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

namespace {
String kilobytes(int bytes) { return String((bytes > 0 ? bytes : 0) / 1024); }
}  // namespace

PanelScreen* StoragePanel::create(int usedBytes, int totalBytes, int bookmarks, int cookies,
                                  int visitedPages) {
  PanelScreen* panel = new PanelScreen(13, Resource::getString(10367));
  panel->addText(Resource::getString(10368, kilobytes(usedBytes), kilobytes(totalBytes)));
  panel->addText(Resource::getString(10369, String(bookmarks)));
  panel->addText(Resource::getString(10370, String(cookies)));
  panel->addText(Resource::getString(10371, String(visitedPages)));
  panel->addText(Resource::getString(10372));
  panel->addButton(Resource::getString(10373), ScreenResult::run(COMMAND_FREE_STORAGE));
  return panel;
}
