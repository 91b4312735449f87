#include "browser/menu/LinkInfoPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* LinkInfoPanel::create(const String&, const String&, bool) {
  return new PanelScreen(9, String());
}
