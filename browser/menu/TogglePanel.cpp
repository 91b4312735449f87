#include "browser/menu/TogglePanel.h"

#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

namespace {
// The one setting whose two states have names of their own.
const int NAMED_STATES = 10035;
}  // namespace

PanelScreen* TogglePanel::create(int nameMessageId, bool on) {
  const bool named = nameMessageId == NAMED_STATES;
  const String& state = Resource::getString(named ? (on ? 10036 : 10037) : (on ? 10033 : 10034));
  PanelScreen* panel = new PanelScreen(9, Resource::getString(10350));
  panel->addText(Resource::getString(10351, Resource::getString(nameMessageId), state));
  panel->addButton(Resource::getString(10010), ScreenResult::close());
  return panel;
}
