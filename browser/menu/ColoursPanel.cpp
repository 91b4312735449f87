#include "browser/menu/ColoursPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* ColoursPanel::create(int) { return new PanelScreen(9, String()); }
