#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelSettings.h"
#include "browser/store/RecordStore.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

namespace {

typedef AutoPtr<Vector<Object*>> Record;

int integerAt(Vector<Object*>* list, int i) {
  Integer* v = i < list->size() ? dynamic_cast<Integer*>(list->elementAt(i)) : nullptr;
  return v ? v->intValue() : -999999;
}

// A real store in a scratch program directory, opened again as the next start would.
class PanelSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    defaults_.windowHeight = 320;
    reopen();
  }
  RecordStore& reopen() {
    store_.reset();
    store_.reset(new RecordStore(nullptr, defaults_));
    store_->open();
    if (store_->isNew()) store_->initializeStore();
    return *store_;
  }
  // Settings entry i as stored.
  int stored(int i) {
    Record settings(reopen().readRecord(RecordStore::SETTINGS, u"I"_s));
    return integerAt(settings.get(), i);
  }

  ScratchProgram program;
  SettingsDefaults defaults_;
  std::unique_ptr<RecordStore> store_;
};

TEST_F(PanelSettingsTest, EachSettingCommandIsStoredAndReadBackAfterAStart) {
  struct Case {
    int command, argument, entry, value;
  } cases[] = {
      {PANEL_PAGE_FONT, 3, 18, 3},
      {PANEL_INTERFACE_FONT, 2, 19, 2},
      {PANEL_BASE_FONT, 1, 20, 1},
      {PANEL_PALETTE, 1, 17, 1},
      {PANEL_LANGUAGE, PanelSettings::JAPANESE, 12, 0x0411},
      {PANEL_LANGUAGE, 0, 12, 0},
      {PANEL_ORIENTATION, 3, 11, 3},
      {PANEL_USER_AGENT, 2, 22, 2},
      // Key scrolling: pixels per tick in the panel, hundredths in the store; 999 is no maximum.
      {PANEL_KEY_FIRST_STEP, 8, 6, 800},
      {PANEL_KEY_THRESHOLD, 12, 7, 12},
      {PANEL_KEY_SECOND_STEP, 30, 8, 3000},
      {PANEL_KEY_MAX_SPEED, 250, 9, 25000},
      {PANEL_KEY_MAX_SPEED, 999, 9, PanelSettings::NO_MAXIMUM_SPEED},
      {PANEL_NEW_WINDOW_LINKS, 1, 13, 0x10},
      {PANEL_NEW_WINDOW_LINKS, 0, 13, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " " + std::to_string(c.argument));
    EXPECT_TRUE(PanelSettings::apply(c.command, c.argument, String(), *store_, nullptr));
    EXPECT_EQ(stored(c.entry), c.value);
    // The other entries are kept: the list is whole and the letter menu's entry is still there.
    EXPECT_EQ(stored(14), 'G');
    const int whole = RecordStore::SETTINGS_COUNT;
    EXPECT_EQ(Record(store_->readRecord(RecordStore::SETTINGS, u"I"_s))->size(), whole);
  }
}

TEST_F(PanelSettingsTest, ValuesOutOfRangeAndOtherCommandsAreRefusedWithoutAWrite) {
  store_->loadSettings();
  store_->setSetting(11, 2);
  struct Case {
    int command, argument;
  } cases[] = {
      {PANEL_ORIENTATION, 4},          {PANEL_ORIENTATION, -1},      {PANEL_PALETTE, 2},
      {PANEL_LANGUAGE, 0x0407},        {PANEL_PAGE_FONT, -1},        {PANEL_PAGE_FONT, 1 << 20},
      {PANEL_USER_AGENT, -3},          {PANEL_KEY_FIRST_STEP, 1000}, {PANEL_KEY_MAX_SPEED, 0},
      {PANEL_SHORTCUT_KEY, -1},        {PANEL_NEW_WINDOW_LINKS, 2},  {PANEL_IMPORT_BOOKMARK_FILE, 0},
      {PANEL_EXPORT_BOOKMARK_FILE, 0}, {COMMAND_PANEL_BASE + 99, 0}, {COMMAND_PANEL_BASE + 950, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " " + std::to_string(c.argument));
    EXPECT_FALSE(PanelSettings::apply(c.command, c.argument, String(), *store_, nullptr));
  }
  EXPECT_EQ(stored(11), 2);
  EXPECT_EQ(stored(17), 0);
}

TEST_F(PanelSettingsTest, AShortcutKeyChangesOneCommandOfTheTwelve) {
  Vector<Object*> keys(true);
  for (int k = 0; k < 12; ++k) keys.addElement(new Integer(100 + k));
  store_->writeRecord(RecordStore::SHORTCUTS, keys, u"I"_s);
  EXPECT_TRUE(PanelSettings::apply(PANEL_SHORTCUT_KEY + 11, 9, String(), *store_, nullptr));
  EXPECT_TRUE(PanelSettings::apply(PANEL_SHORTCUT_KEY, 0, String(), *store_, nullptr));
  Record read(reopen().readRecord(RecordStore::SHORTCUTS, u"I"_s));
  ASSERT_EQ(read->size(), 12);
  EXPECT_EQ(integerAt(read.get(), 0), 0);
  EXPECT_EQ(integerAt(read.get(), 5), 105);
  EXPECT_EQ(integerAt(read.get(), 11), 9);

  // With no list stored yet the other keys run nothing.
  store_->removeRecord(RecordStore::SHORTCUTS);
  EXPECT_TRUE(PanelSettings::apply(PANEL_SHORTCUT_KEY + 2, 22, String(), *store_, nullptr));
  Record fresh(reopen().readRecord(RecordStore::SHORTCUTS, u"I"_s));
  ASSERT_EQ(fresh->size(), 12);
  EXPECT_EQ(integerAt(fresh.get(), 2), 22);
  EXPECT_EQ(integerAt(fresh.get(), 3), 0);
}

TEST_F(PanelSettingsTest, TheHomeAddressIsStoredAsTyped) {
  EXPECT_TRUE(PanelSettings::apply(PANEL_HOME_URL, 0, u"  http://example.org/start  "_s, *store_, nullptr));
  EXPECT_EQ(reopen().readString(RecordStore::HOME_URL, u"none"_s), u"http://example.org/start"_s);
  // An address longer than any page's is refused and the old one stays.
  String huge = String(u"http://a/"_s);
  while (huge.length() <= 5000) huge = huge + u"xxxxxxxxxx"_s;
  EXPECT_FALSE(PanelSettings::apply(PANEL_HOME_URL, 0, huge, *store_, nullptr));
  EXPECT_EQ(reopen().readString(RecordStore::HOME_URL, u"none"_s), u"http://example.org/start"_s);
}

TEST_F(PanelSettingsTest, StoppingSynchronisationClearsTheServerValueAndThePendingUpload) {
  store_->loadSettings();
  store_->setSetting(1, 77);
  int flags = 0x220 | 0x800 | 0x200000;
  store_->writeValue(RecordStore::FLAGS, flags);
  EXPECT_TRUE(PanelSettings::apply(PANEL_SYNC_OFF, 0, String(), *store_, &flags));
  EXPECT_EQ(flags, 0x220);
  EXPECT_EQ(stored(1), 0);
  EXPECT_EQ(store_->readValue(RecordStore::FLAGS), 0x220);

  // Without the canvas's word the stored one is changed.
  store_->setSetting(1, 5);
  store_->writeValue(RecordStore::FLAGS, 0x820);
  EXPECT_TRUE(PanelSettings::apply(PANEL_SYNC_OFF, 0, String(), *store_, nullptr));
  EXPECT_EQ(reopen().readValue(RecordStore::FLAGS), 0x20);
}

}  // namespace
