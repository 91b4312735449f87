#include "browser/menu/StartPagePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* StartPagePanel::create(const String&, const String&) { return new PanelScreen(9, String()); }
