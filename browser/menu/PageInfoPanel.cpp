#include "browser/menu/PageInfoPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* PageInfoPanel::create(const String&, const String&) { return new PanelScreen(9, String()); }
