#include "browser/menu/TogglePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* TogglePanel::create(int, bool) { return new PanelScreen(9, String()); }
