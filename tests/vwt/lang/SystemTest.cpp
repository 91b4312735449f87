#include <gtest/gtest.h>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Calendar.h"
#include "vwt/lang/Date.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Math.h"
#include "vwt/lang/Phone.h"
#include "vwt/lang/PhoneSystem.h"
#include "vwt/lang/Runtime.h"
#include "vwt/lang/System.h"
#include "vwt/platform/MachineIdentity.h"
#include "vwt/platform/ScreenMetrics.h"

TEST(SystemProperties, UserIniOverridesSystemIniAndEmptyFallsThrough) {
  ScratchProgram program;
  program.write("system.ini", "a=1\r\n  spaced key  =  spaced value  \nflag\nb=7\ndisplay.height=\n");
  program.write("user.ini", "a=2\nb=\n");
  vwt::platform::setScreenSize(480, 640);
  EXPECT_EQ(narrow(System::getProperty(u"a"_s)), "2");
  EXPECT_EQ(narrow(System::getProperty(u"spaced key"_s)), "spaced value");
  EXPECT_TRUE(System::getProperty(u"flag"_s).isNull());
  EXPECT_TRUE(System::getProperty(u"b"_s).isNull());
  EXPECT_EQ(System::getPropertyAsInt(u"b"_s, 9), 9);
  EXPECT_EQ(System::getPropertyAsInt(u"a"_s, 9), 2);
  EXPECT_TRUE(System::getProperty(u"A"_s).isNull());  // keys are case-sensitive
  // The built-in keys answer only where the files give nothing.
  EXPECT_EQ(narrow(System::getProperty(u"display.width"_s)), "480");
  EXPECT_EQ(narrow(System::getProperty(u"display.height"_s)), "640");
  EXPECT_EQ(System::getPropertyAsInt(u"display.width"_s, 0), 0);
  System::setProperty(u"download.url"_s, u"http://h/x"_s);
  EXPECT_EQ(narrow(System::getProperty(u"download.url"_s)), "http://h/x");
}

TEST(SystemProperties, IniValueWinsOverBuiltInKey) {
  ScratchProgram program;
  program.write("system.ini", "display.width=100\n");
  EXPECT_EQ(narrow(System::getProperty(u"display.width"_s)), "100");
  EXPECT_EQ(System::getPropertyAsInt(u"display.width"_s, 0), 100);
}

TEST(SystemProperties, MissingSystemIniIsTheFileOpenError) {
  ScratchProgram program;
  program.write("res/message.txt", "-500=cannot open %1\n");
  try {
    System::getProperty(u"a"_s);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "cannot open " + program.programDirectory() + "system.ini");
  }
  program.write("system.ini", "a=1\n");
  EXPECT_EQ(narrow(System::getProperty(u"a"_s)), "1");  // looked for again
}

TEST(SystemProperties, FavoritesAndDataDirectoryFollowTheUsersFolders) {
  ScratchProgram program;
  program.write("system.ini", "");
  std::string data = program.dir / "data";
  EXPECT_EQ(narrow(System::getProperty(u"directory.favorites"_s)), data + "/vesk/Favorites/");
  String dir = System::getDataDirectory(u"vesk"_s, u"veskDownloader"_s);
  EXPECT_EQ(narrow(dir), data + "/vesk/veskDownloader/");
  EXPECT_TRUE(program.dir.exists("data/vesk/veskDownloader"));
  EXPECT_TRUE(System::getTerminalName().isNull());
}

TEST(SystemTime, DayCountOfKnownDates) {
  struct Case {
    int y, mo, d, h, mi, s, ms;
    int64_t expected;
  } cases[] = {
      {1970, 1, 1, 0, 0, 0, 0, 0},
      {2008, 3, 1, 0, 0, 0, 0, 1204329600000LL},
      {2008, 2, 29, 23, 59, 59, 999, 1204329599999LL},
      {2000, 3, 1, 0, 0, 0, 0, 951868800000LL},
      {2100, 3, 1, 0, 0, 0, 0, 4107542400000LL},  // 2100 has no leap day
      {1969, 12, 31, 0, 0, 0, 0, -86400000LL},
      {2008, 13, 1, 0, 0, 0, 0, 1230768000000LL},  // month 13 is January next year
  };
  for (const Case& c : cases)
    EXPECT_EQ(System::toMillis(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms), c.expected)
        << c.y << "-" << c.mo << "-" << c.d;
}

TEST(SystemTime, ClocksMoveForward) {
  int64_t a = System::currentTimeMillis();
  EXPECT_GT(a, 1204329600000LL);
  EXPECT_GE(System::currentTimeMillis(), a);
  EXPECT_GT(System::currentTimeMillisBoot(), 0);
  Date now;
  EXPECT_GE(now.getTime(), a);
}

TEST(SystemTime, CalendarFieldsAndTime) {
  Calendar c;
  c.set(2008, 2, 1, 13, 5, 9);
  EXPECT_EQ(c.getTime().getTime(), 1204376709000LL);
  EXPECT_EQ(c.get(Calendar::DAY_OF_WEEK), 6);  // a Saturday
  EXPECT_EQ(c.get(Calendar::AM_PM), 1);
  EXPECT_EQ(c.get(Calendar::HOUR), 1);
  c.set(Calendar::DAY_OF_WEEK, 0);  // read only
  EXPECT_EQ(c.get(Calendar::DAY_OF_WEEK), 6);
  c.set(Calendar::DAY_OF_MONTH, 2);
  EXPECT_EQ(c.get(Calendar::DATE), 2);
  EXPECT_EQ(c.get(Calendar::DAY_OF_WEEK), 0);
  c.setTimeZoneBias(-540);  // nine hours east
  c.set(2008, 2, 1, 9, 0, 0);
  EXPECT_EQ(c.getTime().getTime(), 1204329600000LL);
}

TEST(SystemTime, CalendarInstanceIsLocalTimeWithTheZonesBias) {
  const char* old = getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "JST-9", 1);
  int64_t before = System::currentTimeMillis();
  Calendar* c = Calendar::getInstance();
  int64_t after = System::currentTimeMillis();
  EXPECT_EQ(c->getTimeZoneBias(), -540);
  int64_t t = c->getTime().getTime();
  EXPECT_GE(t, before - 1);
  EXPECT_LE(t, after + 1);
  delete c;
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
}

TEST(SystemMisc, Arraycopy) {
  char src[] = "abcdef";
  char dst[] = "......";
  System::arraycopy(src, 1, dst, 2, 3);
  EXPECT_STREQ(dst, "..bcd.");
  System::arraycopy(src, -1, dst, 0, 3);
  System::arraycopy(src, 0, dst, 0, 0);
  System::arraycopy(src, 0, nullptr, 0, 3);
  EXPECT_STREQ(dst, "..bcd.");
  System::arraycopy(dst, 2, dst, 3, 3);  // overlapping
  EXPECT_STREQ(dst, "..bbcd");
}

TEST(SystemMisc, MemoryRandomAndAttributes) {
  EXPECT_GT(Runtime::getRuntime()->freeMemory(), 0);
  System::gc();
  for (int i = 0; i < 1000; ++i) {
    double r = Math::random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
  EXPECT_EQ(PhoneSystem::getAttribute(142), -1);
}

TEST(PhoneProperties, RepeatedNumberAndOthers) {
  EXPECT_EQ(narrow(Phone::getProperty(1, 7)), "777777777777777");
  EXPECT_EQ(narrow(Phone::getProperty(1, 123)), "123123123123123");
  EXPECT_EQ(narrow(Phone::getProperty(1, 1234567890)), "123456789012345");
  EXPECT_EQ(narrow(Phone::getProperty(1, -12)), "-12-12-12-12-12");
  EXPECT_TRUE(Phone::getProperty(2).isNull());
}

TEST(PhoneProperties, DeviceIdEncoding) {
  unsigned char zero[20] = {0};
  EXPECT_EQ(narrow(Phone::encodeDeviceId(zero)), std::string(28, 'A'));
  unsigned char ones[20];
  for (unsigned char& b : ones) b = 0xFF;
  // The first group holds two bytes: 16 bits under four 6-bit digits.
  EXPECT_EQ(narrow(Phone::encodeDeviceId(ones)), "AP//" + std::string(24, '/'));
  unsigned char mixed[20] = {0};
  mixed[19] = 1;    // last group = 1
  mixed[2] = 0x04;  // second group = 0x040000: digit 1 in the top place
  EXPECT_EQ(narrow(Phone::encodeDeviceId(mixed)),
            "AAAA"
            "BAAA" +
                std::string(16, 'A') + "AAAB");
}

TEST(PhoneProperties, DeviceIdIsTheDigestOfTheMachineAndTag) {
  ScratchDirectory dir;
  dir.write("machine-id", "0123456789abcdef0123456789abcdef\n");
  vwt::platform::setMachineIdentityFile(dir / "machine-id");
  String id = Phone::getProperty(0);
  // SHA-1 of the identity and the tag, worked out independently.
  EXPECT_EQ(narrow(id), "WM_ACAWJROTA|,2BB|5,`,0C4#)N)X1");
  EXPECT_EQ(narrow(Phone::getProperty(0)), narrow(id));
  dir.write("machine-id", "fedcba9876543210fedcba9876543210\n");
  EXPECT_NE(narrow(Phone::getProperty(0)), narrow(id));
  vwt::platform::setMachineIdentityFile(dir / "missing");
  EXPECT_EQ(narrow(Phone::getProperty(0)), "WM_");
  vwt::platform::setMachineIdentityFile(std::string());
}
