#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/service/PageResponseDecoder.h"
#include "tests/browser/FakeResponseHost.h"
#include "tests/browser/PageWriter.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"

namespace {

std::vector<char> deflated(const PageWriter& w) {
  uLongf size = compressBound(w.size());
  std::vector<char> out(size);
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(w.data()), w.size(),
            6);
  out.resize(size);
  return out;
}

// The parts of an envelope, each overridable by a test.
struct Envelope {
  int version = 5208;
  int status = 0;
  std::u16string message, argument;
  std::function<void(PageWriter&)> commandData;  // after the argument (bookmark list)
  int userId = 0, value1 = 0, value2 = 0, bookmarkVersion = 0;
  std::u16string sessionId = u"S1";
  std::vector<int> imageSizes{100, 250};
  bool withFileCount = true;
  int fileCount = 1;
  std::function<void(PageWriter&)> cookies = [](PageWriter& w) { w.i32(0); };

  PageWriter write() const {
    PageWriter w;
    w.i32(version).i32(status).utf(message).utf(argument);
    if (commandData) commandData(w);
    w.i32(userId).i32(value1).i32(value2).i32(bookmarkVersion).utf(sessionId);
    w.header(100, 50).i32(1).text(0, 0, 10, 10, u"hello").i32(0).noFrames();
    w.i32(static_cast<int>(imageSizes.size()));
    for (int s : imageSizes) w.i32(s);
    w.i32(350).i32(2).i32(4000000);
    if (withFileCount) w.i32(fileCount);
    cookies(w);
    return w;
  }
};

class PageResponseDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { Logger::getLogger()->setOutputType(Logger::NO_OUTPUT); }
  void TearDown() override { Logger::getLogger()->setOutputType(Logger::DEBUGGER_OUTPUT); }

  int decode(const Envelope& e, bool fullLoad = true) { return decodeBytes(deflated(e.write()), fullLoad); }
  int decodeBytes(const std::vector<char>& bytes, bool fullLoad = true) {
    ByteArrayInputStream in(bytes.data(), 0, static_cast<int>(bytes.size()));
    PageResponseDecoder decoder(&host);
    return decoder.decodePageResponse(&page, &in, fullLoad);
  }

  FakeResponseHost host;
  Page page;
};

}  // namespace

TEST_F(PageResponseDecoderTest, DecodesAPlainPage) {
  Envelope e;
  ASSERT_EQ(decode(e), 1);
  EXPECT_EQ(host.imageClears, 1);
  EXPECT_EQ(page.mainCount(), 1);
  EXPECT_EQ(page.items->elementAt(0)->text, u"hello");
  EXPECT_EQ(host.session.sessionId, u"S1");
  ASSERT_EQ(host.images.offsets.size(), 3);
  EXPECT_EQ(host.images.offsets.elementAt(1), 100);
  EXPECT_EQ(host.images.offsets.elementAt(2), 350);
  EXPECT_EQ(host.images.imageCount(), 2);
  EXPECT_EQ(host.images.bytesTotal, 350);
  EXPECT_EQ(host.images.blockCount, 2);
  EXPECT_EQ(host.images.memoryLimit, 4000000);
  EXPECT_EQ(host.images.fileCount, 1);
  EXPECT_TRUE(host.infoTexts.empty());
  EXPECT_EQ(host.settingsSaves, 0);  // userId 0 leaves the settings alone
}

TEST_F(PageResponseDecoderTest, NewerVersionInMenuModeShowsTheNoticeOnly) {
  Envelope e;
  e.version = 5209;
  EXPECT_EQ(decode(e), 0);
  ASSERT_EQ(host.infoTexts.size(), 1u);
  EXPECT_EQ(host.infoTexts[0], Resource::getString(11008) + u"5.2.9"_s);
  EXPECT_EQ(host.infoTitles[0], Resource::getString(10225));
  EXPECT_EQ(host.session.pendingState, u"VER_UP");
  EXPECT_EQ(page.mainCount(), 0);

  e.version = 5301;
  host.infoTexts.clear();
  EXPECT_EQ(decode(e), 0);
  EXPECT_EQ(host.infoTexts[0], Resource::getString(11008) + u"5.3.1"_s);

  host.menuMode = false;
  host.session.pendingState = String::null;
  EXPECT_EQ(decode(e), 1);  // without the menu the page is shown
  EXPECT_TRUE(host.session.pendingState.isNull());
}

TEST_F(PageResponseDecoderTest, NoticesAreShownOncePerRun) {
  Envelope e;
  e.status = 20500;
  e.message = u"Maintenance tonight";
  EXPECT_EQ(decode(e), 1);
  EXPECT_EQ(decode(e), 1);
  ASSERT_EQ(host.infoTexts.size(), 1u);
  EXPECT_EQ(host.infoTexts[0], u"Maintenance tonight");
  EXPECT_FALSE(host.session.notice21000);

  FakeResponseHost fresh;
  Envelope n;
  n.status = 21000;
  n.message = u"x";
  PageResponseDecoder decoder(&fresh);
  std::vector<char> bytes = deflated(n.write());
  ByteArrayInputStream in(bytes.data(), 0, static_cast<int>(bytes.size()));
  EXPECT_EQ(decoder.decodePageResponse(&page, &in, true), 1);
  EXPECT_TRUE(fresh.session.notice21000);
}

TEST_F(PageResponseDecoderTest, LaunchCommandStartsTheProgramAndEnds) {
  Envelope e;
  e.status = 10001;
  e.message = u"New version";
  e.argument = u"http://h/update.exe";
  EXPECT_EQ(decode(e), 1);
  ASSERT_EQ(host.infoTexts.size(), 1u);
  EXPECT_EQ(host.infoTexts[0], u"New version\n\nhttp://h/update.exe");
  ASSERT_EQ(host.launches.size(), 1u);
  EXPECT_EQ(host.launches[0], u"2|http://h/update.exe");
  EXPECT_EQ(host.terminations, 1);
}

TEST_F(PageResponseDecoderTest, AuthenticationChallenges) {
  host.storedRealm = u"http://h/secret"_s;
  host.storedUser = u"alice"_s;
  host.storedPassword = u"pw"_s;
  Envelope e;
  e.status = 30000;
  e.message = u"Basic,Please log in";
  e.argument = u"http://h/secret";
  EXPECT_EQ(decode(e), 0);
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0], u"Please log in|alice|pw");
  EXPECT_EQ(host.session.challengeScheme, u"Basic");
  EXPECT_EQ(host.session.challengeCounter, 0);

  // What the user typed replaces the stored pair on the next challenge.
  host.session.typedUser = u"bob"_s;
  host.session.typedPassword = u"secret"_s;
  EXPECT_EQ(decode(e), 0);
  EXPECT_EQ(host.dialogs[1], u"Please log in|bob|secret");
  EXPECT_EQ(decode(e), 0);
  EXPECT_EQ(host.session.challengeCounter, 2);
  EXPECT_EQ(decode(e), 1);  // a fourth time: the service's own page is shown
  EXPECT_EQ(host.dialogs.size(), 3u);
  EXPECT_TRUE(host.session.typedUser.isNull());

  Envelope plain;
  plain.status = 30000;
  plain.message = u"NoComma";
  plain.argument = u"other realm";
  EXPECT_EQ(decode(plain), 0);
  EXPECT_EQ(host.session.challengeScheme, u"Basic");
  EXPECT_EQ(host.session.challengeCounter, 0);
  EXPECT_EQ(host.dialogs.back(), u"||");
  EXPECT_EQ(decode(plain, false), 1);  // only page loads are challenged
}

TEST_F(PageResponseDecoderTest, BookmarkLists) {
  Envelope upload;
  upload.status = 31000;
  upload.commandData = [](PageWriter& w) { w.i32(0); };
  host.bookmarks.push_back(u"local"_s);
  EXPECT_EQ(decode(upload), 1);
  EXPECT_EQ(host.flags & 0x800, 0x800);  // upload with the next request instead
  EXPECT_EQ(host.bookmarks.size(), 1u);

  Envelope list;
  list.status = 31000;
  list.commandData = [](PageWriter& w) { w.i32(2).utf(u"one").utf(u"two"); };
  list.bookmarkVersion = 7;
  EXPECT_EQ(decode(list), 1);
  EXPECT_EQ(host.settings[5], 7);
  ASSERT_EQ(host.bookmarks.size(), 2u);
  EXPECT_EQ(host.bookmarks[1], u"two");

  Envelope bad;
  bad.status = 31000;
  bad.commandData = [](PageWriter& w) { w.i32(-4); };
  EXPECT_THROW(decode(bad), Exception);
}

TEST_F(PageResponseDecoderTest, DownloadOffer) {
  host.cookies.storeCookie(u"files.example"_s, u"/"_s, u"k"_s, u"v w"_s, 0, 0);
  Envelope e;
  e.status = 32000;
  e.message = u"report.pdf";
  e.argument = u"http://files.example/report.pdf";
  EXPECT_EQ(decode(e), 0);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            Resource::getString(11010) + u'|' + Resource::getString(11009, u"report.pdf"_s));
  ASSERT_EQ(host.downloads.size(), 1u);
  EXPECT_EQ(host.downloads[0], u"http://files.example/report.pdf|http://current/page|k=vw");

  host.answerYes = false;
  EXPECT_EQ(decode(e), 0);
  EXPECT_EQ(host.downloads.size(), 1u);
  host.session.noticeShown = true;
  EXPECT_EQ(decode(e), 0);
  EXPECT_EQ(host.questions.size(), 2u);  // not asked while a notice stands
}

TEST_F(PageResponseDecoderTest, AccountValues) {
  host.settings[0] = 5;
  Envelope e;
  e.userId = 9;
  e.value1 = 11;
  e.value2 = 12;
  host.menuMode = false;
  EXPECT_EQ(decode(e), 1);
  EXPECT_EQ(host.settingsReloads, 1);
  EXPECT_EQ(host.settings[0], 9);
  EXPECT_EQ(host.settings[1], 11);
  EXPECT_EQ(host.settings[2], 12);
  ASSERT_EQ(host.infoTexts.size(), 1u);
  EXPECT_EQ(host.infoTexts[0], u"ID:9");
  EXPECT_FALSE(host.session.idChanged);

  host.menuMode = true;
  e.userId = 10;
  EXPECT_EQ(decode(e), 1);
  EXPECT_TRUE(host.session.idChanged);  // shown later, outside menu mode
  EXPECT_EQ(host.infoTexts.size(), 1u);
}

TEST_F(PageResponseDecoderTest, EmptySessionIdClearsIt) {
  host.session.sessionId = u"old"_s;
  Envelope e;
  e.sessionId = u"";
  EXPECT_EQ(decode(e), 1);
  EXPECT_TRUE(host.session.sessionId.isNull());
}

TEST_F(PageResponseDecoderTest, FileCountAbsentWhenEmbeddedFilesAreOff) {
  host.flags |= 0x8000000;
  host.images.fileCount = 42;
  Envelope e;
  e.withFileCount = false;
  EXPECT_EQ(decode(e), 1);
  EXPECT_EQ(host.images.fileCount, 42);
}

TEST_F(PageResponseDecoderTest, CookieGroups) {
  Envelope e;
  e.cookies = [](PageWriter& w) {
    w.i32(2);
    w.i16(2).utf(u"h").utf(u"/").utf(u"a").utf(u"1").i32(0).i16(0);
    w.utf(u"h").utf(u"/").utf(u"b").utf(u"2").i32(0).i16(0);
    w.i16(1).utf(u"h").utf(u"/x").utf(u"c").utf(u"3").i32(0).i16(0);
  };
  EXPECT_EQ(decode(e), 1);
  EXPECT_EQ(host.cookies.cookieText(u"http://h/x/y"_s, String::null), u"a=1; b=2; c=3");
  EXPECT_EQ(host.cookies.cookieText(u"http://h/"_s, String::null), u"a=1; b=2");

  FakeResponseHost off;
  off.flags |= 0x10;
  PageResponseDecoder decoder(&off);
  std::vector<char> bytes = deflated(e.write());
  ByteArrayInputStream in(bytes.data(), 0, static_cast<int>(bytes.size()));
  EXPECT_EQ(decoder.decodePageResponse(&page, &in, true), 1);
  EXPECT_EQ(off.cookies.sessionCount(), 0);

  Envelope noCookies;  // not a page load: no cookie section at all
  noCookies.cookies = [](PageWriter&) {};
  EXPECT_EQ(decode(noCookies, false), 1);
}

TEST_F(PageResponseDecoderTest, CancellationBetweenImages) {
  Envelope e;
  host.page.cancelAfter = 2;  // the one item, then the first image
  EXPECT_EQ(decode(e), 0);
}

TEST_F(PageResponseDecoderTest, DamagedCountsThrow) {
  Envelope negativeImages;
  negativeImages.imageSizes = {-5};
  EXPECT_THROW(decode(negativeImages), Exception);
  Envelope negativeCookies;
  negativeCookies.cookies = [](PageWriter& w) { w.i32(1).i16(-1); };
  EXPECT_THROW(decode(negativeCookies), Exception);
  std::vector<char> raw{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'};
  EXPECT_THROW(decodeBytes(raw), Exception);
}

TEST_F(PageResponseDecoderTest, EveryPrefixThrows) {
  Envelope e;
  e.status = 31000;
  e.commandData = [](PageWriter& w) { w.i32(1).utf(u"bm"); };
  e.cookies = [](PageWriter& w) { w.i32(1).i16(1).utf(u"h").utf(u"/").utf(u"n").utf(u"v").i32(60).i16(0); };
  std::vector<char> whole = deflated(e.write());
  ASSERT_EQ(decodeBytes(whole), 1);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    std::vector<char> prefix(whole.begin(), whole.begin() + static_cast<long>(cut));
    EXPECT_THROW(decodeBytes(prefix), Exception) << "cut at " << cut;
  }
  // The uncompressed envelope cut anywhere, compressed whole, throws too.
  PageWriter plain = e.write();
  for (int cut = 0; cut < plain.size(); cut += 3) {
    PageWriter prefix;
    prefix.bytes.assign(plain.bytes.begin(), plain.bytes.begin() + cut);
    EXPECT_THROW(decodeBytes(deflated(prefix)), Exception) << "envelope cut at " << cut;
  }
}
