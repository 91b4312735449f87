#include "browser/menu/StoragePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* StoragePanel::create(int, int, int, int, int) { return new PanelScreen(9, String()); }
