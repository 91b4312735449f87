// The record store as the browser starts with it: a damaged store keeps
// the session key and the cookies it can still read and says what it lost,
// and the settings list's access counter.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "browser/service/CipherManager.h"
#include "browser/service/CookieStore.h"
#include "browser/service/QueryBuilder.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/StoreErrorPrinter.h"
#include "browser/store/RecordStore.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Calendar.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"

namespace {

using loopback::sourceDir;

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// What a printer wrote, through a temporary file.
class Printed {
 public:
  Printed() : file_(std::tmpfile()) {}
  ~Printed() { std::fclose(file_); }
  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string out;
    for (int c; (c = std::fgetc(file_)) != EOF;) out += static_cast<char>(c);
    return out;
  }

 private:
  std::FILE* file_;
};

class StoreAtStartTest : public ::testing::Test {
 protected:
  void SetUp() override { program_.write("res/message.txt", fileText(sourceDir() + "/res/message.txt")); }
  std::string storeFile() { return program_.programDirectory() + "data0.bin"; }

  ScratchProgram program_;
};

}  // namespace

TEST_F(StoreAtStartTest, ADamagedStoreKeepsTheKeyAndCookiesAndSaysWhatItLost) {
  std::vector<char> key;
  {
    RecordStore store(nullptr, SettingsDefaults());
    store.open();
    store.loadSettings();
    {
      CipherManager cipher(&store);
      cipher.newSessionKey();
      cipher.save();
      key = cipher.getSessionKey();
    }
    Vector<Object*> cookie(true);
    for (const char16_t* s : {u"example.org;/", u"id", u"42"}) cookie.addElement(new String(s, false));
    cookie.addElement(new Integer(INT_MAX));
    cookie.addElement(new Integer(0));
    store.writeRecord(RecordStore::COOKIES, cookie, u"SSSII"_s);
    Vector<Object*> visited(true);
    visited.addElement(new String(u"http://visited.example/"_s));
    store.writeRecord(RecordStore::VISITED, visited, u"S"_s);
  }
  // The visited list is the last block: a cut inside it loses only it.
  std::string whole = fileText(storeFile());
  int visitedEnd = RecordStore::DATA_AREA + RecordStore::FIRST_BLOCK;
  {
    RecordStore store(nullptr, SettingsDefaults());
    visitedEnd = RecordStore::DATA_AREA + store.readValue(RecordStore::VISITED) + 10;
  }
  program_.write("data0.bin", whole.substr(0, visitedEnd));

  Printed printed;
  StoreErrorPrinter printer(printed.file());
  SessionCore core(&printer);
  CipherManager stored(&core.getStore());
  EXPECT_EQ(key, stored.getSessionKey());
  EXPECT_EQ(1, core.getCookieStore().persistentCount());
  EXPECT_EQ(0, AutoPtr<Vector<Object*>>(core.getStore().readRecord(RecordStore::VISITED, u"S"_s))->size());
  String notice = core.getStore().getRepairNotice();
  ASSERT_GT(notice.length(), 0);
  EXPECT_NE(std::string::npos, narrow(notice).find(narrow(Resource::getString(10217))));
  // The diagnostic mode's line on standard error, and nothing else.
  EXPECT_EQ("veskBrowserQK: " + narrow(notice) + "\n", printed.text());
}

TEST_F(StoreAtStartTest, ThePrinterWritesFailuresAfterTheirTitleAndTextsInUtf8) {
  Printed printed;
  StoreErrorPrinter printer(printed.file());
  printer.reportStoreError(Exception(Resource::getString(10203)));
  printer.reportStoreRepair(u"kept as /tmp/\u00e9\U0001F600.bin"_s);
  EXPECT_EQ("veskBrowserQK: " + narrow(Resource::getString(10201)) + " " +
                narrow(Resource::getString(10203)) +
                "\nveskBrowserQK: kept as /tmp/\xC3\xA9\xF0\x9F\x98\x80.bin\n",
            printed.text());
}

// Settings entries 3 and 4: the first access of the day and the day's count,
// which starts again at 1 on a new day.
TEST_F(StoreAtStartTest, TheDaysAccessCounterStartsAgainOnANewDay) {
  AutoPtr<Calendar> now(Calendar::getInstance());
  now->set(now->get(Calendar::YEAR), now->get(Calendar::MONTH), now->get(Calendar::DAY_OF_MONTH), 0, 0, 0);
  const int midnight = static_cast<int>(now->getTime().getTime() / 1000);
  const int current = static_cast<int>(System::currentTimeMillis() / 1000);
  struct Case {
    const char* name;
    int first, count;
    int wantCount;
    bool newDay;
  } cases[] = {
      {"never counted", 0, 0, 1, true},
      {"yesterday", midnight - 1, 7, 1, true},
      {"a week ago", midnight - 7 * 86400, 500, 1, true},
      {"at midnight", midnight, 7, 8, false},
      {"earlier today", current, 41, 42, false},
  };
  SessionCore core;
  QueryBuilder query(&core);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core.setSetting(3, c.first);
    core.setSetting(4, c.count);
    EXPECT_EQ(c.wantCount, query.nextAccessCount());
    EXPECT_EQ(c.wantCount, core.getSetting(4));
    if (c.newDay) {
      EXPECT_GE(core.getSetting(3), midnight);
    } else {
      EXPECT_EQ(c.first, core.getSetting(3));
    }
    AutoPtr<Vector<Object*>> stored(core.getStore().readRecord(RecordStore::SETTINGS, u"I"_s));
    ASSERT_EQ(23, stored->size());
    EXPECT_EQ(c.wantCount, static_cast<Integer*>(stored->elementAt(4))->intValue());
  }
}
