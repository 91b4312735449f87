#include "browser/menu/ShortcutPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* ShortcutPanel::create(const int[12]) { return new PanelScreen(9, String()); }
