#include <gtest/gtest.h>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
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
