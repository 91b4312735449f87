#include "browser/menu/BookmarkFilePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* BookmarkFilePanel::create(int) { return new PanelScreen(9, String()); }
