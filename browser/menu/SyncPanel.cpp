#include "browser/menu/SyncPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* SyncPanel::create(int, int) { return new PanelScreen(9, String()); }
