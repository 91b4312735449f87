#include "browser/menu/TextSizePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* TextSizePanel::create(int, int) { return new PanelScreen(9, String()); }
