#include "browser/menu/SettingToggles.h"

#include "browser/menu/CommandId.h"
#include "vwt/lang/Resource.h"

namespace {

const SettingToggles::Toggle TOGGLES[] = {
    {COMMAND_TOGGLE_IMAGES, 0, 10031, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_BIT1, 1, 10035, 10036, 10037, false},
    {COMMAND_TOGGLE_BIT2, 2, 10040, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_BIT3, 3, 10041, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_COOKIES, 4, 10042, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    // This one reads the other way round: set means off.
    {COMMAND_TOGGLE_BIT5, 5, 10044, SettingToggles::STATE_OFF, SettingToggles::STATE_ON, false},
    {COMMAND_TOGGLE_REFLOW_IMAGES, 6, 10048, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_STATUS_LINE, 10, 10175, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_BIT15, 15, 10032, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_POINTER_MODE, 17, 10056, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    // The service lays the page out anew for it.
    {COMMAND_TOGGLE_STYLES, 19, 10057, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, true},
    {COMMAND_TOGGLE_REFLOW_COLOURS, 20, 10058, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
    {COMMAND_TOGGLE_POINTER_HIDDEN, 27, 10263, SettingToggles::STATE_ON, SettingToggles::STATE_OFF, false},
};

const int TOGGLE_COUNT = static_cast<int>(sizeof TOGGLES / sizeof TOGGLES[0]);

}  // namespace

const SettingToggles::Toggle* SettingToggles::find(int command) {
  for (const Toggle& t : TOGGLES)
    if (t.command == command) return &t;
  return nullptr;
}

int SettingToggles::count() { return TOGGLE_COUNT; }

const SettingToggles::Toggle& SettingToggles::at(int i) { return TOGGLES[i]; }

String SettingToggles::stateText(const Toggle& toggle, int flags) {
  return Resource::getString(isSet(toggle, flags) ? toggle.onId : toggle.offId);
}

String SettingToggles::rowText(const Toggle& toggle, int flags) {
  return (Resource::getString(toggle.nameId) + u"\t") + stateText(toggle, flags);
}
