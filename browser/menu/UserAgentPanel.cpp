#include "browser/menu/UserAgentPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"

namespace {
// Property names beyond this are not looked for.
const int MOST_AGENTS = 20;
}  // namespace

PanelScreen* UserAgentPanel::create(const std::vector<String>& labels, int current) {
  PanelScreen* panel = new PanelScreen(24, Resource::getString(10400));
  panel->addText(Resource::getString(10401));
  panel->addChoice(Resource::getString(10402), current <= 0, ScreenResult::runAndKeep(PANEL_USER_AGENT, 0));
  for (size_t i = 0; i < labels.size(); ++i) {
    const int choice = static_cast<int>(i) + 1;
    panel->addChoice(labels[i], current == choice, ScreenResult::runAndKeep(PANEL_USER_AGENT, choice));
  }
  return panel;
}

std::vector<String> UserAgentPanel::labelsFromProperties() {
  std::vector<String> labels;
  for (int n = 1; n <= MOST_AGENTS; ++n) {
    const String value = System::getProperty(u"user-agent"_s + n);
    if (value.length() == 0) break;
    const int comma = value.indexOf(u',');
    labels.push_back(comma >= 0 ? value.substring(0, comma) : value);
  }
  return labels;
}
