#include "vwt/ui/PopupMenu.h"

#include <vector>

#include "vwt/platform/DrawnPopupMenu.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Window.h"

using namespace vwt::platform;

PopupMenu::PopupMenu() : items_(true) {}

PopupMenu::~PopupMenu() = default;

void PopupMenu::add(MenuItem* item) {
  if (item) items_.addElement(item);
}

void PopupMenu::addSeparator() { items_.addElement(nullptr); }

MenuItem* PopupMenu::getItem(int index) const {
  return index >= 0 && index < items_.size() ? items_.elementAt(index) : nullptr;
}

int PopupMenu::show(const Window* owner, int x, int y, int align) {
  std::vector<DrawnPopupMenu::Item> items;
  for (int i = 0; i < items_.size(); ++i) {
    DrawnPopupMenu::Item drawn;
    if (const MenuItem* m = items_.elementAt(i)) {
      drawn.id = m->getId();
      drawn.text.assign(m->getText().getCString(), static_cast<size_t>(m->getText().length()));
      drawn.enabled = m->isEnabled();
      drawn.checked = m->isChecked();
    } else {
      drawn.separator = true;
    }
    items.push_back(drawn);
  }
  const int ownerHandle = owner ? owner->getHandle() : 0;
  int id = DrawnPopupMenu::show(ownerHandle, items, x, y, align);
  if (id != 0 && ownerHandle && WindowSystem::exists())
    WindowSystem::get().post(ownerHandle, WM_COMMAND, makeWParam(static_cast<uint32_t>(id), 0), 0);
  return id;
}
