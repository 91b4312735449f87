// Taking and giving back the system's web addresses.
#include <gtest/gtest.h>

#include "browser/shell/DefaultBrowser.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Registry.h"

namespace {

const char16_t kHttp[] = u"\\HKEY_CLASSES_ROOT\\http\\Shell\\Open\\Command\\";
const char16_t kHttps[] = u"\\HKEY_CLASSES_ROOT\\https\\Shell\\Open\\Command\\";

std::string command(const char16_t* key) {
  return narrow(Registry(String(key, false)).readStringValue(u"Default"_s, u"(none)"_s));
}

struct FakeDesktop {
  bool hasProgram = true;
  bool installed = true;
  std::vector<std::string> runs;

  DefaultBrowser::Desktop desktop() {
    DefaultBrowser::Desktop d;
    d.hasProgram = [this](const String& p) { return hasProgram && narrow(p) == "xdg-settings"; };
    d.isInstalled = [this](const String& f) { return installed && narrow(f) == "veskBrowserQK.desktop"; };
    d.run = [this](const VectorV<String>& c) {
      std::string line;
      for (int i = 0; i < c.size(); ++i) line += (i ? " " : "") + narrow(c.elementAt(i));
      runs.push_back(line);
    };
    return d;
  }
};

TEST(DefaultBrowser, TogglingTwiceRestoresTheOldBrowser) {
  ScratchProgram program;
  Registry(String(kHttp, false)).writeStringValue(u"Default"_s, u"iexplore.exe %1"_s);
  FakeDesktop desktop;
  DefaultBrowser browser(u"/opt/vesk/veskBrowserQK"_s, desktop.desktop());
  EXPECT_FALSE(browser.isDefault());

  browser.toggle();
  EXPECT_TRUE(browser.isDefault());
  EXPECT_EQ(command(kHttp), "\"/opt/vesk/veskBrowserQK\" %1");
  EXPECT_EQ(command(kHttps), "\"/opt/vesk/veskBrowserQK\" %1");
  ASSERT_EQ(desktop.runs.size(), 1u);
  EXPECT_EQ(desktop.runs[0], "xdg-settings set default-web-browser veskBrowserQK.desktop");

  browser.toggle();
  EXPECT_FALSE(browser.isDefault());
  EXPECT_EQ(command(kHttp), "iexplore.exe %1");
  EXPECT_EQ(command(kHttps), "iexplore.exe %1");
  EXPECT_EQ(desktop.runs.size(), 1u);  // the desktop's choice is not taken back
}

TEST(DefaultBrowser, NoKeyMeansNotDefaultAndTheFirstToggleTakesOver) {
  ScratchProgram program;
  DefaultBrowser browser(u"C:\\vesk\\veskBrowserQK.exe"_s);  // no desktop at all
  EXPECT_FALSE(browser.isDefault());
  browser.toggle();
  EXPECT_TRUE(browser.isDefault());
  EXPECT_EQ(command(kHttp), "\"C:\\vesk\\veskBrowserQK.exe\" %1");
}

TEST(DefaultBrowser, DesktopSettingOnlyWithTheToolAndTheDesktopFile) {
  struct {
    bool hasProgram;
    bool installed;
    size_t runs;
  } cases[] = {{true, true, 1}, {false, true, 0}, {true, false, 0}, {false, false, 0}};
  for (const auto& c : cases) {
    ScratchProgram program;
    FakeDesktop desktop;
    desktop.hasProgram = c.hasProgram;
    desktop.installed = c.installed;
    DefaultBrowser browser(u"/b/veskBrowserQK"_s, desktop.desktop());
    browser.toggle();
    EXPECT_TRUE(browser.isDefault());  // the registry side never depends on the desktop
    EXPECT_EQ(desktop.runs.size(), c.runs) << c.hasProgram << c.installed;
  }
}

TEST(DefaultBrowser, SystemDesktopFindsTheDesktopFileInTheUsersDataDirectory) {
  ScratchProgram program;  // XDG_DATA_HOME is its data directory
  DefaultBrowser::Desktop d = DefaultBrowser::system();
  EXPECT_FALSE(d.isInstalled(u"veskBrowserQK.desktop"_s));
  program.dir.write("data/applications/veskBrowserQK.desktop", "[Desktop Entry]\n");
  EXPECT_TRUE(d.isInstalled(u"veskBrowserQK.desktop"_s));
  EXPECT_FALSE(d.hasProgram(u"no-such-program-here"_s));
}

}  // namespace
