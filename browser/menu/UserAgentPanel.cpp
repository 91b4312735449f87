#include "browser/menu/UserAgentPanel.h"

#include "browser/menu/PanelScreen.h"

PanelScreen* UserAgentPanel::create(const std::vector<String>&, int) { return new PanelScreen(9, String()); }

std::vector<String> UserAgentPanel::labelsFromProperties() { return std::vector<String>(); }
