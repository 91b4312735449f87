#include <gtest/gtest.h>

#include <string>

#include "downloader/ResumeRecord.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"

TEST(ResumeRecordTest, SavedRecordLoadsBackBesideItsFile) {
  ScratchDirectory dir;
  String data = wide(dir / "123");
  EXPECT_EQ(dir / "123.resume", narrow(ResumeRecord::pathFor(data)));

  ResumeRecord record;
  record.url = u"http://h/big.iso"_s;
  record.etag = u"\"abc\""_s;
  record.lastModified = u"Wed, 21 Oct 2015 07:28:00 GMT"_s;
  record.totalLength = (6LL << 30) + 7;  // past 32 bits
  record.save(data);

  ResumeRecord loaded;
  ASSERT_TRUE(loaded.load(data));
  EXPECT_EQ("http://h/big.iso", narrow(loaded.url));
  EXPECT_EQ("\"abc\"", narrow(loaded.etag));
  EXPECT_EQ("Wed, 21 Oct 2015 07:28:00 GMT", narrow(loaded.lastModified));
  EXPECT_EQ((6LL << 30) + 7, loaded.totalLength);
  EXPECT_TRUE(loaded.hasValidator());

  ResumeRecord::remove(data);
  EXPECT_FALSE(dir.exists("123.resume"));
  EXPECT_FALSE(ResumeRecord().load(data));
}

TEST(ResumeRecordTest, MalformedRecordsDoNotLoad) {
  ScratchDirectory dir;
  String data = wide(dir / "f");
  ResumeRecord good;
  good.url = u"http://h/f"_s;
  good.etag = u"\"1\""_s;
  good.totalLength = 10;
  good.save(data);
  std::string bytes = dir.read("f.resume");

  const std::string broken[] = {
      "",
      "not a record at all",
      bytes.substr(0, bytes.size() - 3),                   // cut short
      "XXXX" + bytes.substr(4),                            // another magic
      bytes.substr(0, 8) + "\xff\xff" + bytes.substr(10),  // a text length past the end
  };
  for (const std::string& b : broken) {
    dir.write("f.resume", b);
    ResumeRecord r;
    EXPECT_FALSE(r.load(data)) << b.size();
  }
  ResumeRecord none;
  EXPECT_FALSE(none.hasValidator());
  none.lastModified = u"Wed, 21 Oct 2015 07:28:00 GMT"_s;
  EXPECT_TRUE(none.hasValidator());
}

TEST(ResumeRecordTest, FindPartialPicksTheFileOfTheSameUrlThatCanResume) {
  ScratchDirectory dir;
  auto make = [&](const std::string& name, const char16_t* url, const char16_t* etag, bool withData) {
    ResumeRecord r;
    r.url = String(url, false);
    r.etag = String(etag, false);
    r.totalLength = 100;
    r.save(wide(dir / name));
    if (withData) dir.write(name, "partial");
  };
  make("1", u"http://h/other", u"\"a\"", true);
  make("2", u"http://h/f", u"", true);        // no validator
  make("3", u"http://h/f", u"\"a\"", false);  // its data file is gone
  make("4", u"http://h/f", u"\"a\"", true);
  dir.write("5", "a file without record");

  EXPECT_EQ(dir / "4", narrow(ResumeRecord::findPartial(wide(dir.path()), u"http://h/f"_s)));
  EXPECT_EQ(dir / "4", narrow(ResumeRecord::findPartial(wide(dir.path() + "/"), u"http://h/f"_s)));
  EXPECT_TRUE(ResumeRecord::findPartial(wide(dir.path()), u"http://h/none"_s).isNull());
  EXPECT_TRUE(ResumeRecord::findPartial(wide(dir / "missing"), u"http://h/f"_s).isNull());
}

TEST(ResumeRecordTest, SaveIntoAMissingFolderThrows) {
  ScratchDirectory dir;
  ResumeRecord r;
  r.url = u"http://h/f"_s;
  EXPECT_THROW(r.save(wide(dir / "missing/f")), Exception);
}
