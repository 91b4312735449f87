#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Processes.h"
#include "vwt/ui/Application.h"

TEST(Application, IsTheCurrentOneUntilDestroyed) {
  EXPECT_EQ(Application::getCurrentApp(), nullptr);
  {
    Application first;
    EXPECT_EQ(Application::getCurrentApp(), &first);
    EXPECT_EQ(first.getImaging(), nullptr);
    EXPECT_FALSE(first.isSocketsStarted());
    first.initialize(Application::INIT_IMAGING);
    ImagingFactory* imaging = first.getImaging();
    EXPECT_NE(imaging, nullptr);
    first.initialize(Application::INIT_IMAGING | Application::INIT_SOCKETS);
    EXPECT_EQ(first.getImaging(), imaging);  // made once
    EXPECT_TRUE(first.isSocketsStarted());
  }
  EXPECT_EQ(Application::getCurrentApp(), nullptr);
}

TEST(Application, ExecutableFileAndItsDirectory) {
  Application app;
  std::string name = narrow(app.getExecutableFileName());
  EXPECT_NE(name.find("test_ui"), std::string::npos) << name;
  ScratchProgram program;
  EXPECT_EQ(narrow(app.getExecutableFileDirectory()), program.programDirectory());
}

TEST(Application, CommandLineKeepsQuotedPiecesWhole) {
  struct Case {
    const char16_t* line;
    std::vector<std::string> want;
  } cases[] = {
      {u"", {}},
      {u"/D \"http://x/a b\" \"/tmp/my dir/file\"", {"/D", "http://x/a b", "/tmp/my dir/file"}},
      {u"one  two", {"one", "two"}},
  };
  for (const Case& c : cases) {
    Application app;
    app.setArgument(nullptr, nullptr, String(c.line, false), 1, false);
    ASSERT_EQ(app.getNumOfParameter(), static_cast<int>(c.want.size())) << narrow(String(c.line, false));
    for (size_t i = 0; i < c.want.size(); ++i)
      EXPECT_EQ(narrow(app.getParameter(static_cast<int>(i))), c.want[i]);
    EXPECT_EQ(narrow(app.getParameter(5)), "");
    EXPECT_EQ(narrow(app.getParameter(-1)), "");
    if (c.want.empty()) {
      EXPECT_EQ(narrow(app.getParameter()), "");
    }
  }
}

TEST(Application, LaunchingTheDownloadProgram) {
  ScratchProgram program;
  program.dir.write("program/system.ini", "download.url=http://127.0.0.1:6111/update\n");
  Application app;
  std::string dir = program.programDirectory();
  auto script = [&](const std::string& name, const std::string& mark) {
    program.dir.write("program/" + name, "#!/bin/sh\n# " + mark + "\nexit 0\n");
    std::filesystem::permissions(dir + name, std::filesystem::perms::owner_all);
  };
  try {
    app.launch(Application::LAUNCH_DOWNLOADER, String());
    ADD_FAILURE() << "no program: -1204";
  } catch (const Exception& e) {
    EXPECT_NE(narrow(e.getMessage()).find(narrow(Resource::getString(-1204))), std::string::npos);
  }
  script("downloader2", "old");
  app.launch(Application::LAUNCH_DOWNLOADER, String());  // started as it is
  EXPECT_NE(program.dir.read("program/downloader2").find("old"), std::string::npos);
  script("downloader", "fresh");
  app.launch(Application::LAUNCH_DOWNLOADER, String());
  EXPECT_FALSE(program.dir.exists("program/downloader")) << "the fresh copy took the old one's place";
  EXPECT_NE(program.dir.read("program/downloader2").find("fresh"), std::string::npos);
  try {
    app.launch(static_cast<Application::LaunchType>(7), String());
    ADD_FAILURE() << "an unknown kind: -1203";
  } catch (const Exception& e) {
    EXPECT_NE(narrow(e.getMessage()).find(narrow(Resource::getString(-1203))), std::string::npos);
  }
  app.launch(static_cast<Application::LaunchType>(7),
             static_cast<VectorV<String>*>(nullptr));  // does nothing
}

TEST(Application, TheBrowserGetsTheAddressAsItsOnlyArgument) {
  ScratchProgram program;
  program.write("res/message.txt", "-1205=No browser for %1\n");
  Application app;
  // A stand-in opener notes its arguments, one a line, then moves its note into place.
  program.dir.write("opener",
                    "#!/bin/sh\nd=$(dirname \"$0\")\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done "
                    "> \"$d/args.tmp\"\nmv \"$d/args.tmp\" \"$d/args\"\n");
  std::filesystem::permissions(program.dir / "opener", std::filesystem::perms::owner_all);
  vwt::platform::setDesktopOpener(program.dir / "opener");
  app.launch(Application::LAUNCH_BROWSER, u"http://a.example/x y?q=1&r=$(true);b"_s);
  for (int i = 0; i < 500 && !program.dir.exists("args"); ++i) usleep(10000);  // it runs on its own
  EXPECT_EQ("http://a.example/x y?q=1&r=$(true);b\n", program.dir.read("args"));

  // An address that could pass for an option, and a missing opener, are errors to show.
  for (const std::string address : {"-x", ""}) {
    try {
      app.launch(Application::LAUNCH_BROWSER, wide(address));
      ADD_FAILURE() << address;
    } catch (const Exception& e) {
      EXPECT_NE(narrow(e.getMessage()).find("No browser for " + address), std::string::npos);
    }
  }
  vwt::platform::setDesktopOpener(program.dir / "missing");
  try {
    app.launch(Application::LAUNCH_BROWSER, u"http://a.example/"_s);
    ADD_FAILURE() << "no opener";
  } catch (const Exception& e) {
    EXPECT_NE(narrow(e.getMessage()).find("No browser for http://a.example/"), std::string::npos);
  }
  vwt::platform::setDesktopOpener(std::string());
}
