#include "browser/menu/ShortcutPanel.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Window.h"

namespace {

const int KEYS = 12;
const char16_t* const KEY_NAMES[KEYS] = {u"1", u"2", u"3", u"4", u"5", u"6",
                                         u"7", u"8", u"9", u"*", u"0", u"#"};

// The commands a key can run, with their names.
struct Assignable {
  int command;
  int name;
};
const Assignable COMMANDS[] = {
    {0, 10418},
    {COMMAND_BACK, 10419},
    {COMMAND_FORWARD, 10420},
    {COMMAND_REFLOW, 10421},
    {COMMAND_ADD_BOOKMARK, 10422},
    {COMMAND_BOOKMARKS, 10423},
    {COMMAND_ADDRESS, 10424},
    {COMMAND_RELOAD, 10425},
    {COMMAND_HOME, 10426},
    {COMMAND_FIND_ENTRY, 10427},
    {COMMAND_FIND_NEXT, 10428},
    {COMMAND_TOP, 10429},
    {COMMAND_BOTTOM, 10430},
    {COMMAND_STOP, 10431},
    {COMMAND_WINDOWS, 10432},
    {COMMAND_NEW_WINDOW, 10433},
    {COMMAND_PAGE_UP, 10434},
    {COMMAND_PAGE_DOWN, 10435},
    {COMMAND_VISITED, 10436},
    {COMMAND_TEXT_BIGGER, 10437},
    {COMMAND_TEXT_SMALLER, 10438},
    {COMMAND_SETTINGS, 10439},
    {COMMAND_TOGGLE_IMAGES, 10440},
    {COMMAND_PAGE_INFO, 10354},
};
const int COMMAND_COUNT = sizeof(COMMANDS) / sizeof(COMMANDS[0]);

String nameOf(int command) {
  for (const Assignable& a : COMMANDS)
    if (a.command == command) return Resource::getString(a.name);
  // A command set elsewhere that the list does not offer shows its number.
  return String(command);
}

// Two pages in one panel: the keys with what they run, and, for the key chosen, the commands it can
// run. A choice is stored at once and the keys come back.
class ShortcutScreen : public PanelScreen {
 public:
  explicit ShortcutScreen(const int shortcuts[KEYS]) : PanelScreen(27, Resource::getString(10414)) {
    for (int k = 0; k < KEYS; ++k) shortcuts_[k] = shortcuts[k];
    showKeys(0);
  }

  ScreenResult key(int type, int key) override {
    const bool back =
        type == 1 && (key == Window::KEY_SOFT2 || key == Window::KEY_ESCAPE || key == Window::KEY_BACKSPACE);
    if (back && choosing_ >= 0) {
      showKeys(choosing_);
      return ScreenResult::changed();
    }
    return PanelScreen::key(type, key);
  }

 protected:
  ScreenResult activate(int child) override {
    if (choosing_ < 0) {
      // Children: the hint, then the keys.
      const int k = child - 1;
      if (k < 0 || k >= KEYS) return ScreenResult::ignored();
      showCommands(k);
      return ScreenResult::changed();
    }
    const int c = child - 1;
    if (c < 0 || c >= COMMAND_COUNT) return ScreenResult::ignored();
    const int k = choosing_;
    shortcuts_[k] = COMMANDS[c].command;
    showKeys(k);
    return ScreenResult::runAndKeep(PANEL_SHORTCUT_KEY + k, COMMANDS[c].command);
  }

 private:
  void showKeys(int focusKey) {
    choosing_ = -1;
    clearChildren();
    addText(Resource::getString(10416));
    for (int k = 0; k < KEYS; ++k)
      addButton(Resource::getString(10351, String(KEY_NAMES[k], false), nameOf(shortcuts_[k])),
                ScreenResult());
    relayout();
    focus(1 + focusKey);
  }

  void showCommands(int k) {
    choosing_ = k;
    clearChildren();
    addText(Resource::getString(10415, String(KEY_NAMES[k], false)));
    int current = 0;
    for (int c = 0; c < COMMAND_COUNT; ++c) {
      addChoice(Resource::getString(COMMANDS[c].name), COMMANDS[c].command == shortcuts_[k],
                ScreenResult::runAndKeep(PANEL_SHORTCUT_KEY + k, COMMANDS[c].command));
      if (COMMANDS[c].command == shortcuts_[k]) current = c;
    }
    relayout();
    focus(1 + current);
  }

  int shortcuts_[KEYS];
  int choosing_ = -1;  // the key whose command is being chosen, -1 on the keys' page
};

}  // namespace

PanelScreen* ShortcutPanel::create(const int shortcuts[12]) { return new ShortcutScreen(shortcuts); }
