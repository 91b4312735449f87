#include "browser/menu/MessagePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* MessagePanel::create(const String&, const String&) { return new PanelScreen(9, String()); }
