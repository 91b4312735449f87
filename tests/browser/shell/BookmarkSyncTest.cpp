// The bookmark list kept in step with the reference service on loopback.
#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "browser/store/BackupPicture.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/UserDataPackage.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/System.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const int USER = 1001;

class BookmarkSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service_.reset(new vesk::RenderService(loopback::serviceConfig()));
    port_ = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program_.write("res/vesklogo.gif", readFile(sourceDir() + "/res/vesklogo.gif"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n");
    System::unloadProperties();
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
  }
  SessionCore& core() {
    if (!core_) core_.reset(new SessionCore());
    return *core_;
  }
  Bookmarks& marks() { return core().getBookmarks(); }
  // A session and the home page: the service has given the user id and turned
  // synchronisation on.
  void startSession() {
    ASSERT_EQ(1, core().startSession(true));
    ASSERT_TRUE(load());
    ASSERT_EQ(USER, core().getSetting(0));
    ASSERT_NE(0, core().getSetting(Bookmarks::SETTING_SYNC));
  }
  // A page request, then the interface thread's turn, as the canvas takes it when it paints.
  bool load(const char16_t* url = u"http://demo.local/") {
    if (!request(url)) return false;
    core().applyServiceBookmarks();
    return true;
  }
  bool request(const char16_t* url = u"http://demo.local/") {
    core().startPageRequest(String(url, false));
    core().waitForWorker(20000);
    return core().getWorker()->getResult() == 0;
  }
  // The control endpoint's view: "version V" and the stored strings.
  std::vector<std::string> served() {
    httplib::Client c("127.0.0.1", port_);
    auto r = c.Get(("/control/bookmarks?user=" + std::to_string(USER)).c_str());
    std::vector<std::string> lines;
    if (!r || r->status != 200) return lines;
    size_t at = 0, end;
    while ((end = r->body.find('\n', at)) != std::string::npos) {
      lines.push_back(r->body.substr(at, end - at));
      at = end + 1;
    }
    return lines;
  }
  std::vector<std::string> local() {
    std::vector<std::string> out;
    for (const String& s : marks().getEntries()) out.push_back(narrow(s));
    return out;
  }
  int count(const std::string& prefix, const std::string& part = std::string()) {
    int n = 0;
    for (const std::string& l : service_->state().log.lines())
      n += l.compare(0, prefix.size(), prefix) == 0 && l.find(part) != std::string::npos;
    return n;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  std::unique_ptr<SessionCore> core_;
};

TEST_F(BookmarkSyncTest, AnEditIsUploadedWithTheNextPageRequest) {
  startSession();
  marks().add(u"Demo"_s, u"I0,http://demo.local/"_s);
  core().bookmarksChanged();
  EXPECT_TRUE(core().getFlags() & Bookmarks::FLAG_UPLOAD_PENDING);
  EXPECT_EQ(0, count("FAVORITE"));
  ASSERT_TRUE(load());
  EXPECT_EQ(1, count("FAVORITE"));
  EXPECT_FALSE(core().getFlags() & Bookmarks::FLAG_UPLOAD_PENDING);
  std::vector<std::string> expected = {"version 1", "Demo", "I0,http://demo.local/"};
  EXPECT_EQ(expected, served());

  // The next answer brings the service's version, and the same list.
  ASSERT_TRUE(load());
  EXPECT_EQ(1, count("FAVORITE"));
  EXPECT_EQ(1, core().getSetting(Bookmarks::SETTING_VERSION));
  EXPECT_EQ((std::vector<std::string>{"Demo", "I0,http://demo.local/"}), local());
}

TEST_F(BookmarkSyncTest, TheServicesNewerListReplacesTheLocalOneAndIsStored) {
  startSession();
  marks().add(u"Local"_s, u"I0,http://local/"_s);
  marks().save();
  service_->state().bookmarks.replace(USER, {"Folder", "I0,f:", "Remote", "I1,http://remote/"});
  ASSERT_TRUE(request());
  // The worker only hands the list over: the interface thread may be showing the local one.
  EXPECT_EQ((std::vector<std::string>{"Local", "I0,http://local/"}), local());
  EXPECT_TRUE(core().applyServiceBookmarks());
  EXPECT_FALSE(core().applyServiceBookmarks()) << "applied once";
  std::vector<std::string> expected = {"Folder", "I0,f:", "Remote", "I1,http://remote/"};
  EXPECT_EQ(expected, local());
  EXPECT_EQ(2, core().getBookmarkCount());
  EXPECT_EQ(1, core().getSetting(Bookmarks::SETTING_VERSION));
  // Stored: a new session reads the same list, with a checksum that matches.
  core_.reset();
  EXPECT_EQ(expected, local());
  EXPECT_EQ(1, core().getSetting(Bookmarks::SETTING_VERSION));
  EXPECT_EQ(0, count("FAVORITE"));
}

TEST_F(BookmarkSyncTest, EmptyingTheListSendsTheDeletionOnce) {
  startSession();
  marks().add(u"Demo"_s, u"http://demo.local/"_s);
  core().bookmarksChanged();
  ASSERT_TRUE(load());
  ASSERT_EQ(3u, served().size());
  marks().remove(0);
  core().bookmarksChanged();
  EXPECT_TRUE(core().getFlags() & Bookmarks::FLAG_LIST_EMPTIED);
  ASSERT_TRUE(load());
  ASSERT_TRUE(load());
  EXPECT_EQ(1, count("H ", "&db=1"));
  EXPECT_FALSE(core().getFlags() & Bookmarks::FLAG_LIST_EMPTIED);
  std::vector<std::string> served = this->served();
  ASSERT_FALSE(served.empty());
  EXPECT_EQ(1u, served.size()) << "the service holds an empty list";
  EXPECT_TRUE(local().empty());
}

TEST_F(BookmarkSyncTest, WithoutSynchronisationAnEditChangesNoFlag) {
  ASSERT_EQ(0, core().getSetting(Bookmarks::SETTING_SYNC));
  int flags = core().getFlags();
  marks().add(u"Demo"_s, u"http://demo.local/"_s);
  core().bookmarksChanged();
  marks().remove(0);
  core().bookmarksChanged();
  EXPECT_EQ(flags, core().getFlags());
  EXPECT_EQ(0, core().getBookmarkCount());
}

TEST_F(BookmarkSyncTest, ABackupRestoresTheChosenSections) {
  marks().add(u"Saved"_s, u"http://saved/"_s);
  core().bookmarksChanged();
  std::vector<char> picture = core().makeBackupPicture();
  marks().remove(0);
  core().bookmarksChanged();
  ByteArrayInputStream in(picture.data(), 0, static_cast<int>(picture.size()));
  int found = core().openBackup(in);
  EXPECT_EQ(UserDataPackage::FOUND_BOOKMARKS | UserDataPackage::FOUND_FLAGS |
                UserDataPackage::FOUND_SETTINGS | UserDataPackage::FOUND_HOME_URL,
            found);
  EXPECT_EQ(UserDataPackage::FOUND_BOOKMARKS, core().restoreBackup(UserDataPackage::FOUND_BOOKMARKS));
  EXPECT_EQ((std::vector<std::string>{"Saved", "http://saved/"}), local());
  EXPECT_EQ(0, core().restoreBackup(UserDataPackage::FOUND_BOOKMARKS)) << "the package is used once";

  std::vector<char> logo(picture.begin(), picture.begin() + 566);
  ByteArrayInputStream plain(logo.data(), 0, static_cast<int>(logo.size()));
  EXPECT_THROW(core().openBackup(plain), Exception);
}

}  // namespace
