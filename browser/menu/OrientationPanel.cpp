#include "browser/menu/OrientationPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* OrientationPanel::create(int) { return new PanelScreen(9, String()); }
