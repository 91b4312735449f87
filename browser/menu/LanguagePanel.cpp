#include "browser/menu/LanguagePanel.h"

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "browser/menu/PanelSettings.h"
#include "vwt/lang/Resource.h"

PanelScreen* LanguagePanel::create(int languageId) {
  PanelScreen* panel = new PanelScreen(21, Resource::getString(10378));
  panel->addText(Resource::getString(10379));
  const int ids[3] = {0, PanelSettings::ENGLISH, PanelSettings::JAPANESE};
  const int names[3] = {10380, 10381, 10382};
  for (int i = 0; i < 3; ++i)
    panel->addChoice(Resource::getString(names[i]), languageId == ids[i],
                     ScreenResult::runAndKeep(PANEL_LANGUAGE, ids[i]));
  return panel;
}
