#include "browser/menu/RestoreScreen.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"

namespace {

const int MODE_RESTORE = 50;

const int MSG_TITLE = 10465;
const int MSG_CHOOSE = 10466;
const int MSG_NOTHING = 10467;
const int MSG_RESTORE = 10468;
// The sections' names in bit order.
const int SECTION_NAMES[5] = {10469, 10470, 10471, 10472, 10473};

static_assert(RestoreScreen::COMMAND_RESTORE_CHOSEN == COMMAND_PANEL_BASE + 950, "the restore command");

}  // namespace

RestoreScreen::RestoreScreen(int foundBits)
    : found_(foundBits & SECTIONS), panel_(new PanelScreen(MODE_RESTORE, Resource::getString(MSG_TITLE))) {
  panel_->addText(Resource::getString(found_ ? MSG_CHOOSE : MSG_NOTHING));
  int child = 1;
  for (int i = 0; i < 5; ++i) {
    rows_[i] = -1;
    if (!(found_ & (1 << i))) continue;
    // A choice that returns changed() is a check box the panel flips itself.
    panel_->addChoice(Resource::getString(SECTION_NAMES[i]), true, ScreenResult::changed());
    rows_[i] = child++;
  }
  panel_->addButton(Resource::getString(MSG_RESTORE), ScreenResult::run(COMMAND_RESTORE_CHOSEN));
}

RestoreScreen::~RestoreScreen() = default;

int RestoreScreen::chosen() const {
  int bits = 0;
  for (int i = 0; i < 5; ++i)
    if (rows_[i] >= 0 && panel_->isChosen(rows_[i])) bits |= 1 << i;
  return bits;
}

int RestoreScreen::mode() const { return panel_->mode(); }

RenderItem* RestoreScreen::item() { return panel_->item(); }

void RestoreScreen::layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) {
  panel_->layout(viewWidth, viewHeight, interfaceFont);
}

ScreenResult RestoreScreen::key(int type, int key) { return handled(panel_->key(type, key)); }

ScreenResult RestoreScreen::tap(int x, int y) { return handled(panel_->tap(x, y)); }

ScreenResult RestoreScreen::handled(ScreenResult result) const {
  if (result.action == ScreenResult::COMMAND && result.command == COMMAND_RESTORE_CHOSEN) {
    result.argument = chosen();
    // Nothing chosen is nothing to do.
    if (result.argument == 0) return ScreenResult::close();
  }
  return result;
}
