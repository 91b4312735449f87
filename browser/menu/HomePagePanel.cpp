#include "browser/menu/HomePagePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* HomePagePanel::create(const String&, const String&, const String&) {
  return new PanelScreen(9, String());
}
