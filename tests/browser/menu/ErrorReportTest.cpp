#include <gtest/gtest.h>

#include "browser/menu/ErrorReport.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Resource.h"

namespace {

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.write("res/message.txt", "10249=Type: \n10250=Message: \n10251=Platform: \n");
    program.write("system.ini", "service.host=vesk.example\n");
    Resource::unload();
    System::unloadProperties();
  }
  ScratchProgram program;
};

TEST_F(ErrorReportTest, TheReportNamesContextExceptionPlatformVersionAndPage) {
  EXPECT_EQ(ErrorReport::text(u"Saving the settings"_s, u"IOException"_s, u"disk full"_s, u"Linux"_s,
                              u"http://example.org/a?b=1"_s),
            u"Saving the settings:\nType: Exception IOException\nMessage: disk full\nPlatform: Linux 5208\n"
            u"URL:http://example.org/a?b=1"_s);
}

TEST_F(ErrorReportTest, TheServicesOwnPagesAreHidden) {
  for (const char16_t* url : {u"http://vesk.example/portal/indexQK.jsp", u"http://m.vesk.example:6111/x",
                              u"http://doc.vesk.example/"}) {
    String text = ErrorReport::text(u"Opening"_s, u"E"_s, u"m"_s, u"P"_s, String(url, false));
    EXPECT_TRUE(text.endsWith(u"\nURL:"_s));
  }
  // The host given stands for the property.
  EXPECT_TRUE(ErrorReport::text(u"c"_s, u"E"_s, u"m"_s, u"P"_s, u"http://other.host/x"_s, u"other.host"_s)
                  .endsWith(u"\nURL:"_s));
  EXPECT_TRUE(ErrorReport::text(u"c"_s, u"E"_s, u"m"_s, u"P"_s, u"http://vesk.example/x"_s, u"other.host"_s)
                  .endsWith(u"\nURL:http://vesk.example/x"_s));
  // An empty page and an empty message still give every line.
  String text = ErrorReport::text(String(), String(), String(), String(), String());
  EXPECT_EQ(text, u":\nType: Exception \nMessage: \nPlatform:  5208\nURL:"_s);
}

TEST(ErrorReportWithoutPropertiesTest, TheDefaultServiceHostStandsIn) {
  ScratchProgram bare;  // no system.ini, no message file
  EXPECT_TRUE(ErrorReport::text(u"c"_s, u"E"_s, u"m"_s, u"P"_s, u"http://127.0.0.1:6111/portal"_s)
                  .endsWith(u"URL:"_s));
  EXPECT_TRUE(ErrorReport::text(u"c"_s, u"E"_s, u"m"_s, u"P"_s, u"http://example.org/"_s)
                  .endsWith(u"URL:http://example.org/"_s));
}

}  // namespace
