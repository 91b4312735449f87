#include "browser/menu/AboutPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* AboutPanel::create() { return new PanelScreen(9, String()); }
