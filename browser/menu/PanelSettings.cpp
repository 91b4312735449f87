#include "browser/menu/PanelSettings.h"

#include "browser/menu/PanelCommand.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Vector.h"

namespace {

// Settings entries the panels change.
enum Entry : int {
  SERVER_VALUE = 1,
  KEY_FIRST_STEP = 6,
  KEY_THRESHOLD = 7,
  KEY_SECOND_STEP = 8,
  KEY_MAX_SPEED = 9,
  ORIENTATION = 11,
  LANGUAGE = 12,
  OPTIONS = 13,
  PALETTE = 17,
  PAGE_FONT = 18,
  INTERFACE_FONT = 19,
  BASE_FONT = 20,
  USER_AGENT = 22,
};
const int NEW_WINDOW_LINKS = 0x10;
// Canvas flags of a pending bookmark upload and of a removal to tell the service of.
const int UPLOAD_PENDING = 0x800;
const int BOOKMARK_REMOVED = 0x200000;
const int KEYS = 12;
// Font lists are short; an index past this is not one.
const int MOST_FONTS = 64;
const int MOST_USER_AGENTS = 99;
const int MOST_PIXELS_PER_TICK = 999;
const int MOST_THRESHOLD = 1000;
// The longest home address kept.
const int MOST_URL_LENGTH = 4096;

bool within(int v, int lo, int hi) { return v >= lo && v <= hi; }

void setShortcut(RecordStore& store, int key, int command) {
  AutoPtr<Vector<Object*>> list(store.readRecord(RecordStore::SHORTCUTS, u"I"_s));
  // A list that is not twelve commands is rebuilt from what it has, the rest running nothing.
  while (list->size() < KEYS) list->addElement(new Integer(0));
  while (list->size() > KEYS) list->removeElementAt(list->size() - 1);
  delete list->elementAt(key);
  list->setElementAt(new Integer(command), key);
  store.writeRecord(RecordStore::SHORTCUTS, *list, u"I"_s);
}

}  // namespace

bool PanelSettings::apply(int command, int argument, const String& text, RecordStore& store, int* flags) {
  if (command >= PANEL_SHORTCUT_KEY && command <= PANEL_SHORTCUT_KEY_LAST) {
    if (argument < 0) return false;
    setShortcut(store, command - PANEL_SHORTCUT_KEY, argument);
    return true;
  }
  int entry = -1, value = argument;
  switch (command) {
    case PANEL_PAGE_FONT:
    case PANEL_INTERFACE_FONT:
    case PANEL_BASE_FONT:
      if (!within(argument, 0, MOST_FONTS - 1)) return false;
      entry = command == PANEL_PAGE_FONT ? PAGE_FONT
                                         : (command == PANEL_INTERFACE_FONT ? INTERFACE_FONT : BASE_FONT);
      break;
    case PANEL_PALETTE:
      if (!within(argument, 0, 1)) return false;
      entry = PALETTE;
      break;
    case PANEL_LANGUAGE:
      if (argument != 0 && argument != ENGLISH && argument != JAPANESE) return false;
      entry = LANGUAGE;
      break;
    case PANEL_ORIENTATION:
      if (!within(argument, 0, 3)) return false;
      entry = ORIENTATION;
      break;
    case PANEL_USER_AGENT:
      if (!within(argument, 0, MOST_USER_AGENTS)) return false;
      entry = USER_AGENT;
      break;
    case PANEL_KEY_FIRST_STEP:
    case PANEL_KEY_SECOND_STEP:
      // The panel speaks whole pixels per tick; the store keeps hundredths.
      if (!within(argument, 0, MOST_PIXELS_PER_TICK)) return false;
      entry = command == PANEL_KEY_FIRST_STEP ? KEY_FIRST_STEP : KEY_SECOND_STEP;
      value = argument * 100;
      break;
    case PANEL_KEY_THRESHOLD:
      if (!within(argument, 0, MOST_THRESHOLD)) return false;
      entry = KEY_THRESHOLD;
      break;
    case PANEL_KEY_MAX_SPEED:
      if (!within(argument, 1, MOST_PIXELS_PER_TICK)) return false;
      entry = KEY_MAX_SPEED;
      value = argument == NO_MAXIMUM_SPEED / 100 ? NO_MAXIMUM_SPEED : argument * 100;
      break;
    case PANEL_NEW_WINDOW_LINKS:
      if (!within(argument, 0, 1)) return false;
      store.loadSettings();
      entry = OPTIONS;
      value = argument ? (store.getSetting(OPTIONS) | NEW_WINDOW_LINKS)
                       : (store.getSetting(OPTIONS) & ~NEW_WINDOW_LINKS);
      break;
    case PANEL_SYNC_OFF: {
      store.setSetting(SERVER_VALUE, 0);
      // Nothing is uploaded any more, so nothing is pending.
      int word = flags ? *flags : store.readValue(RecordStore::FLAGS);
      word &= ~(UPLOAD_PENDING | BOOKMARK_REMOVED);
      if (flags) *flags = word;
      store.writeValue(RecordStore::FLAGS, word);
      return true;
    }
    case PANEL_HOME_URL: {
      if (text.length() > MOST_URL_LENGTH) return false;
      Vector<Object*> record(true);
      record.addElement(new String(text.trim()));
      store.writeRecord(RecordStore::HOME_URL, record, u"S"_s);
      return true;
    }
    default:
      return false;
  }
  // The list the store holds may not have been read yet: read it first, so that the other entries
  // are kept as they are stored.
  store.loadSettings();
  store.setSetting(entry, value);
  return true;
}
