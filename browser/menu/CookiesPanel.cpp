#include "browser/menu/CookiesPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* CookiesPanel::create(const std::vector<String>&) { return new PanelScreen(9, String()); }
