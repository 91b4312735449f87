#include "browser/menu/ConfirmPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* ConfirmPanel::create(const String&, const String&, int) { return new PanelScreen(9, String()); }
