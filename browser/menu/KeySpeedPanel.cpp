#include "browser/menu/KeySpeedPanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "browser/menu/PanelSettings.h"
#include "vwt/lang/Resource.h"

namespace {
// The sliders show whole pixels per tick, three digits at most; the store keeps hundredths.
const int TOP_SPEED_NONE = PanelSettings::NO_MAXIMUM_SPEED / 100;

int pixels(int hundredths) { return hundredths > 0 ? hundredths / 100 : 0; }
}  // namespace

PanelScreen* KeySpeedPanel::create(int firstStep, int threshold, int secondStep, int maximumSpeed) {
  PanelScreen* panel = new PanelScreen(23, Resource::getString(10395));
  panel->addText(Resource::getString(10396));
  panel->addSlider(0, pixels(firstStep), 48, 1, PANEL_KEY_FIRST_STEP);
  panel->addText(Resource::getString(10397));
  panel->addSlider(0, threshold, 50, 1, PANEL_KEY_THRESHOLD);
  panel->addText(Resource::getString(10398));
  panel->addSlider(0, pixels(secondStep), 96, 2, PANEL_KEY_SECOND_STEP);
  panel->addText(Resource::getString(10399));
  panel->addSlider(10,
                   maximumSpeed >= PanelSettings::NO_MAXIMUM_SPEED ? TOP_SPEED_NONE : pixels(maximumSpeed),
                   TOP_SPEED_NONE, 10, PANEL_KEY_MAX_SPEED);
  return panel;
}
