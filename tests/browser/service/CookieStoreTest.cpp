#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/service/CookieStore.h"
#include "browser/store/RecordStore.h"
#include "browser/store/StoreErrorReport.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"

namespace {

int64_t gNow = 1000000;
int64_t testClock() { return gNow; }

class CountingReport : public StoreErrorReport {
 public:
  void reportStoreError(const Exception&) override { ++errors; }
  int errors = 0;
};

class CookieStoreTest : public ::testing::Test {
 protected:
  CookieStoreTest() : store(&report, SettingsDefaults()), cookies(&store) {
    store.open();
    if (store.isNew()) store.initializeStore();
    gNow = 1000000;
    cookies.setClock(testClock);
  }
  // A second store over the same storage, as after a restart.
  String afterRestart(const String& url) {
    CookieStore again(&store);
    again.setClock(testClock);
    return again.cookieText(url, String::null);
  }

  ScratchProgram program;
  CountingReport report;
  RecordStore store;
  CookieStore cookies;
};

}  // namespace

TEST_F(CookieStoreTest, MatchesHostsOnDotBoundariesAndPathPrefixes) {
  cookies.storeCookie(u"example.com"_s, u"/"_s, u"site"_s, u"1"_s, 0, 0);
  cookies.storeCookie(u".example.com"_s, u"/shop"_s, u"cart"_s, u"2"_s, 0, 0);
  cookies.storeCookie(u"www.example.com"_s, u"/"_s, u"www"_s, u"3"_s, 0, 0);
  struct Case {
    const char16_t* url;
    const char16_t* want;
  } cases[] = {
      {u"http://example.com/", u"site=1"},
      {u"http://www.example.com/shop/item", u"site=1; cart=2; www=3"},
      {u"http://WWW.Example.COM:8080/", u"site=1; www=3"},
      {u"https://example.com/shopping", u"site=1; cart=2"},  // https looks up as http; plain prefix
      {u"http://badexample.com/", u""},                      // not on a dot boundary
      {u"http://example.com.evil.net/", u""},
      {u"http://ample.com/", u""},
      {u"http://example.com", u"site=1"},           // no path: "/"
      {u"http://example.com/a/shop/x", u"site=1"},  // "/shop" inside the path is not its prefix
  };
  for (const Case& c : cases) {
    String got = cookies.cookieText(String(c.url, false), String::null);
    EXPECT_EQ(std::u16string(got.getCString()), std::u16string(c.want))
        << "for " << std::string(c.url, c.url + std::u16string(c.url).size());
  }
}

TEST_F(CookieStoreTest, ReferrerStandsInForOtherSchemes) {
  cookies.storeCookie(u"h.example"_s, u"/"_s, u"n"_s, u"v"_s, 0, 0);
  EXPECT_EQ(cookies.cookieText(u"mailto:x@y"_s, u"http://h.example/page"_s), u"n=v");
  EXPECT_TRUE(cookies.cookieText(u"ftp://h.example/"_s, u"ftp://h.example/"_s).isNull());
}

TEST_F(CookieStoreTest, ReplacementAndDeletion) {
  cookies.storeCookie(u"h"_s, u"/"_s, u"n"_s, u"old"_s, 0, 0);
  cookies.storeCookie(u"h"_s, u"/"_s, u"n"_s, u"new"_s, 0, 0);
  EXPECT_EQ(cookies.sessionCount(), 1);
  EXPECT_EQ(cookies.cookieText(u"http://h/"_s, String::null), u"n=new");
  // Another scope keeps its own cookie of the same name.
  cookies.storeCookie(u"sub.h"_s, u"/"_s, u"n"_s, u"sub"_s, 0, 0);
  EXPECT_EQ(cookies.cookieText(u"http://sub.h/"_s, String::null), u"n=new; n=sub");

  cookies.storeCookie(u"h"_s, u"/"_s, u"p"_s, u"kept"_s, 3600, 0);
  cookies.saveCookies();
  EXPECT_EQ(afterRestart(u"http://h/"_s), u"p=kept");
  cookies.storeCookie(u"h"_s, u"/"_s, u"p"_s, String::null, -1, 0);  // negative lifetime deletes
  cookies.saveCookies();
  EXPECT_TRUE(afterRestart(u"http://h/"_s).isNull());
  EXPECT_EQ(report.errors, 0);
}

TEST_F(CookieStoreTest, PersistentCookiesExpire) {
  cookies.storeCookie(u"h"_s, u"/"_s, u"short"_s, u"1"_s, 10, 0);
  cookies.storeCookie(u"h"_s, u"/"_s, u"long"_s, u"2"_s, 1000, 0);
  cookies.saveCookies();
  EXPECT_EQ(cookies.cookieText(u"http://h/"_s, String::null), u"short=1; long=2");
  gNow += 10;  // expiry is no longer later than now
  EXPECT_EQ(cookies.cookieText(u"http://h/"_s, String::null), u"long=2");
  EXPECT_EQ(cookies.persistentCount(), 1);
}

TEST_F(CookieStoreTest, UnsavedRowsOfOneGroupAreNotLost) {
  cookies.storeCookie(u"h"_s, u"/"_s, u"a"_s, u"1"_s, 60, 0);
  cookies.storeCookie(u"h"_s, u"/"_s, u"b"_s, u"2"_s, 60, 0);
  EXPECT_EQ(cookies.cookieText(u"http://h/"_s, String::null), u"a=1; b=2");
  cookies.saveCookies();
  EXPECT_EQ(afterRestart(u"http://h/"_s), u"a=1; b=2");
}

TEST_F(CookieStoreTest, ClearingForgetsSessionAndStoredCookiesAcrossARestart) {
  cookies.storeCookie(u"h"_s, u"/"_s, u"session"_s, u"1"_s, 0, 0);
  cookies.storeCookie(u"h"_s, u"/"_s, u"kept"_s, u"2"_s, 60, 0);
  cookies.saveCookies();
  cookies.clear();
  EXPECT_TRUE(cookies.cookieText(u"http://h/"_s, String::null).isNull());
  EXPECT_EQ(cookies.persistentCount(), 0);
  EXPECT_TRUE(afterRestart(u"http://h/"_s).isNull());
}

TEST_F(CookieStoreTest, TheRecordIsCappedByDroppingTheOldest) {
  std::u16string big(400, u'x');
  for (int i = 0; i < 80; ++i)
    cookies.storeCookie(u"h"_s, u"/"_s, u"c"_s + i, String(big.c_str(), 0, 400), 60, 0);
  cookies.saveCookies();
  int kept = cookies.persistentCount();
  EXPECT_LT(kept, 80);
  EXPECT_GT(kept, 40);
  AutoPtr<Vector<Object*>> record(store.readRecord(RecordStore::COOKIES, u"SSSII"_s));
  EXPECT_LE(RecordStore::recordSize(*record, u"SSSII"_s), CookieStore::MAX_RECORD_BYTES);
  EXPECT_EQ(record->size(), kept * 5);
  String text = afterRestart(u"http://h/"_s);
  EXPECT_LT(text.indexOf(u"c0="_s), 0);  // the oldest went first
  EXPECT_GE(text.indexOf(u"c79="_s), 0);
}

TEST_F(CookieStoreTest, CommandUrlsMapThroughTheLetterText) {
  // 'G' + 44 = 's': the entry "s...: search.example/find,"
  String letters = u"s Search: search.example/find,t Tr: trans.example,"_s;
  EXPECT_EQ(CookieStore::mapCommandUrl(u"cmd:Gwords"_s, letters), u"http://search.example/find");
  EXPECT_EQ(CookieStore::mapCommandUrl(u"cmd:Hx"_s, letters), u"http://trans.example");
  EXPECT_EQ(CookieStore::mapCommandUrl(u"cmd:Zx"_s, letters), u"cmd:Zx");
  EXPECT_EQ(CookieStore::mapCommandUrl(u"cmd:"_s, letters), u"cmd:");
  cookies.setCommandLetters(letters);
  cookies.storeCookie(u"search.example"_s, u"/"_s, u"q"_s, u"1"_s, 0, 0);
  EXPECT_EQ(cookies.cookieText(u"cmd:Gabc"_s, String::null), u"q=1");
}
