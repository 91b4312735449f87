#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/store/BackupPicture.h"
#include "browser/store/UserDataPackage.h"
#include "service/UserDataPackage.h"
#include "tests/browser/store/StoreFixture.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace {

std::vector<char> bytes(const std::string& s) { return std::vector<char>(s.begin(), s.end()); }

std::vector<char> counting(size_t n) {
  std::vector<char> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(i * 7 + 1);
  return out;
}

std::string failure(const std::vector<char>& picture) {
  try {
    BackupPicture::unwrap(picture);
  } catch (const Exception& e) {
    return narrow(e.getRawMessage());
  }
  return "none";
}

class BackupPictureTest : public StoreFixture {
 protected:
  std::vector<char> logo() { return bytes(loopback::readFile(loopback::sourceDir() + "/res/vesklogo.gif")); }
};

TEST_F(BackupPictureTest, TheLogoHeadComesFromTheResources) {
  std::vector<char> all = logo();
  ASSERT_GE(all.size(), static_cast<size_t>(BackupPicture::HEAD_BYTES));
  EXPECT_EQ(std::vector<char>(all.begin(), all.begin() + BackupPicture::HEAD_BYTES),
            BackupPicture::logoHead());
}

TEST_F(BackupPictureTest, PackagesOfEverySubBlockShapeComeBack) {
  for (size_t n : {0, 1, 253, 254, 255, 508, 509, 1000, 254 * 7}) {
    std::vector<char> package = counting(n);
    std::vector<char> picture = BackupPicture::wrap(logo(), package);
    size_t blocks = (n + 253) / 254;
    ASSERT_EQ(568 + n + blocks + 2, picture.size()) << n;
    EXPECT_EQ(0x21, static_cast<unsigned char>(picture[566]));
    EXPECT_EQ(0xFE, static_cast<unsigned char>(picture[567]));
    EXPECT_EQ(0x00, picture[picture.size() - 2]) << n;
    EXPECT_EQ(0x3B, picture[picture.size() - 1]) << n;
    if (n > 0 && n % 254 == 0) {
      EXPECT_EQ(254, static_cast<unsigned char>(picture[picture.size() - 2 - 254 - 1]))
          << "a multiple of 254 ends with a full sub-block";
    }
    EXPECT_EQ(package, BackupPicture::unwrap(picture)) << n;
    // The reference service takes the same package out.
    std::string served = vesk::UserDataPackage::unwrap(std::string(picture.begin(), picture.end()));
    EXPECT_EQ(std::string(package.begin(), package.end()), served) << n;
  }
}

TEST_F(BackupPictureTest, AWrappedPackageStillShowsAsTheLogo) {
  Application app;
  app.initialize(Application::INIT_IMAGING);
  std::vector<char> picture = BackupPicture::wrap(counting(600));
  AutoPtr<MediaImage> image(MediaManager::getImage(picture.data(), 0, static_cast<int>(picture.size())));
  image->use();
  AutoPtr<DecodedImage> decoded(image->getDecodedImage());
  EXPECT_EQ(48, decoded->getWidth());
  EXPECT_EQ(48, decoded->getHeight());
}

TEST_F(BackupPictureTest, DamagedPicturesAreRefused) {
  std::string cannotRead = narrow(Resource::getString(10193));
  std::string notBackup = narrow(Resource::getString(10192));
  std::vector<char> good = BackupPicture::wrap(logo(), counting(300));
  std::vector<char> shortPicture(good.begin(), good.begin() + 567);
  std::vector<char> cutInBlock(good.begin(), good.begin() + 700);
  std::vector<char> noTerminator(good.begin(), good.begin() + 568 + 255);
  std::vector<char> otherPicture = bytes(loopback::readFile(loopback::sourceDir() + "/res/banner.gif"));
  ASSERT_GT(otherPicture.size(), 568u);
  EXPECT_EQ(cannotRead, failure({}));
  EXPECT_EQ(cannotRead, failure(shortPicture));
  EXPECT_EQ(cannotRead, failure(cutInBlock));
  EXPECT_EQ(cannotRead, failure(noTerminator));
  EXPECT_EQ(notBackup, failure(otherPicture)) << "a picture without the comment";
  EXPECT_EQ(cannotRead, failure(logo())) << "the logo alone is shorter than a backup";
  EXPECT_EQ("none", failure(good));

  // A comment that holds something else than a package.
  std::vector<char> other = BackupPicture::unwrap(BackupPicture::wrap(logo(), bytes("hello")));
  try {
    UserDataPackage::read(other);
    ADD_FAILURE() << "read a package without its magic";
  } catch (const Exception& e) {
    EXPECT_EQ(notBackup, narrow(e.getRawMessage()));
  }
}

TEST_F(BackupPictureTest, ALogoShorterThanItsHeadCannotWrap) {
  try {
    BackupPicture::wrap(counting(565), counting(10));
    ADD_FAILURE() << "wrapped into a short logo";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(Resource::getString(10191)), narrow(e.getRawMessage()));
  }
}

TEST_F(BackupPictureTest, StreamedUnwrapStopsAtThePackage) {
  std::vector<char> picture = BackupPicture::wrap(logo(), counting(254 * 2));
  ByteArrayInputStream in(picture.data(), 0, static_cast<int>(picture.size()));
  EXPECT_EQ(counting(254 * 2), BackupPicture::unwrap(in));
  EXPECT_EQ(1, in.available()) << "only the trailer is left";
}

}  // namespace
