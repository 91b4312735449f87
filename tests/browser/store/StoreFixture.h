#pragma once
// A record store in a scratch program directory with the source tree's
// messages and logo, and a bookmark host over it.

#include <gtest/gtest.h>

#include <memory>

#include "browser/store/BookmarkHost.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"

class StoreFixture : public ::testing::Test, public BookmarkHost {
 public:
  void SetUp() override {
    program_.write("res/message.txt", loopback::readFile(loopback::sourceDir() + "/res/message.txt"));
    program_.write("res/vesklogo.gif", loopback::readFile(loopback::sourceDir() + "/res/vesklogo.gif"));
    openStore();
  }
  void TearDown() override {
    marks_.reset();
    store_.reset();
  }
  // A new store object over the same file, and a new list loaded from it.
  void openStore() {
    marks_.reset();
    store_.reset(new RecordStore(nullptr, SettingsDefaults()));
    store_->open();
    store_->loadSettings();
    marks_.reset(new Bookmarks(this));
    marks_->load();
  }
  RecordStore* getRecordStore() override { return store_.get(); }
  int getFlags() override { return store_->readValue(RecordStore::FLAGS); }
  void setFlags(int flags) override { store_->writeValue(RecordStore::FLAGS, flags); }

 protected:
  ScratchProgram program_;
  std::unique_ptr<RecordStore> store_;
  std::unique_ptr<Bookmarks> marks_;
};
