#include "browser/menu/LanguagePanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* LanguagePanel::create(int) { return new PanelScreen(9, String()); }
