#include <openssl/sha.h>

#include "EnvelopeDecoder.h"
#include "ServiceHarness.h"
#include "WireReader.h"
#include "service/ProtocolError.h"
#include "service/UserDataPackage.h"

namespace vesktest {
namespace {

using UploadTest = ServiceHarness;

std::string be(int32_t v, int bytes) {
  std::string s;
  for (int k = bytes - 1; k >= 0; --k) s.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * k)));
  return s;
}

std::string header(int32_t user, int32_t id, int part, int chunk) {
  return be(user, 4) + be(id, 4) + be(part, 2) + be(chunk, 2);
}

std::string utf(const std::string& s) { return be(static_cast<int32_t>(s.size()), 2) + s; }

std::string sha1hex(const std::string& s) {
  unsigned char md[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(s.data()), s.size(), md);
  char out[41];
  for (int i = 0; i < 20; ++i) snprintf(out + 2 * i, 3, "%02x", md[i]);
  return out;
}

// The handset's bookmark upload: the user-data package inside a GIF comment.
std::string bookmarkPicture(const std::vector<std::string>& strings) {
  std::string list = be(static_cast<int32_t>(strings.size() / 2), 4);
  for (const auto& s : strings) list += utf(s);
  std::string pkg = be(1505, 4) + be(1, 2) + be(static_cast<int32_t>(list.size()), 4) + list;
  pkg += be(2, 2) + be(4, 4) + be(544, 4);
  std::string home = utf("http://portal.test/portal/indexQK.jsp");
  pkg += be(5, 2) + be(static_cast<int32_t>(home.size()), 4) + home;
  std::string head = "GIF89a" + std::string(560, '\x01');
  return vesk::UserDataPackage::wrap(head, pkg);
}

TEST_F(UploadTest, UploadOfExactly80896BytesTakesTwoChunks) {
  connect();
  int32_t uid = client_->userId();
  std::string data(80896, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
  const std::string type = "application/octet-stream" + std::to_string(uid);

  auto first = client_->post(type, client_->encrypt(header(uid, 777, 0, 0) + data));
  EXPECT_EQ(first.status, 200);
  EXPECT_NE(client_->control("uploads?user=" + std::to_string(uid)).body.find("complete 0"),
            std::string::npos);
  auto second = client_->post(type, "");  // the chunk that carries no data has an empty body
  EXPECT_EQ(second.status, 200);
  EXPECT_EQ(client_->control("uploads?user=" + std::to_string(uid)).body,
            "upload 777 part 0 bytes 80896 chunks 1 complete 1 favorite 0 sha1 " + sha1hex(data) + "\n");
}

TEST_F(UploadTest, ChunksOfSeveralPartsAreReassembledInOrder) {
  connect();
  int32_t uid = client_->userId();
  const std::string type = "application/octet-stream" + std::to_string(uid);
  std::string big(80896 + 100, 'b');
  ASSERT_EQ(client_->post(type, client_->encrypt(header(uid, 5, 0, 0) + big.substr(0, 80896))).status, 200);
  ASSERT_EQ(client_->post(type, client_->encrypt(header(uid, 5, 0, 1) + big.substr(80896))).status, 200);
  ASSERT_EQ(client_->post(type, client_->encrypt(header(uid, 5, 1, 0) + "tiny")).status, 200);
  EXPECT_EQ(client_->control("uploads?user=" + std::to_string(uid)).body,
            "upload 5 part 0 bytes 80996 chunks 2 complete 1 favorite 0 sha1 " + sha1hex(big) + "\n" +
                "upload 5 part 1 bytes 4 chunks 1 complete 1 favorite 0 sha1 " + sha1hex("tiny") + "\n");
}

TEST_F(UploadTest, BookmarkUploadIsKeptForTheUserAndSentBack) {
  connect();
  int32_t uid = client_->userId();
  const std::vector<std::string> marks = {
      "Demo", "I0,http://demo.local/", "Work", "I0,f:", "Mail", "I1,http://mail/"};
  auto r = client_->post("vesk-favorite" + std::to_string(uid),
                         client_->encrypt(header(uid, uid, 0, 0) + bookmarkPicture(marks)));
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(client_->control("bookmarks?user=" + std::to_string(uid)).body,
            "version 1\nDemo\nI0,http://demo.local/\nWork\nI0,f:\nMail\nI1,http://mail/\n");

  // a handset with an older list version gets the list with status 31000
  auto stale = decodeEnvelope(client_->page("c=H&ib=" + std::to_string(uid) + "&bt=0&fl=1"));
  EXPECT_EQ(stale.status, 31000);
  EXPECT_EQ(stale.bookmarks, marks);
  EXPECT_EQ(stale.bookmarkVersion, 1);
  EXPECT_EQ(stale.title, "Vesk portal");
  auto current = decodeEnvelope(client_->page("c=H&ib=" + std::to_string(uid) + "&bt=1&fl=1"));
  EXPECT_EQ(current.status, 0);
  EXPECT_EQ(current.bookmarkVersion, 1);

  // "db=1" empties the list and moves the version on
  auto removed = decodeEnvelope(client_->page("c=H&ib=" + std::to_string(uid) + "&bt=1&fl=1&db=1"));
  EXPECT_EQ(removed.status, 31000);
  EXPECT_TRUE(removed.bookmarks.empty());
  EXPECT_EQ(removed.bookmarkVersion, 2);
}

TEST_F(UploadTest, BadUploadsGetCleanErrors) {
  connect();
  int32_t uid = client_->userId();
  const std::string type = "application/octet-stream" + std::to_string(uid);
  struct Case {
    std::string contentType, body;
    int status;
  } cases[] = {
      {type, client_->encrypt("short"), 400},                         // shorter than its header
      {type, client_->encrypt(header(uid + 1, 1, 0, 0) + "x"), 400},  // someone else's chunk
      {type, client_->encrypt(header(uid, 9, 0, 3) + "x"), 400},      // chunk 3 of nothing
      {type, client_->encrypt(header(uid, 9, 0, 0) + std::string(80897, 'x')), 400},  // oversized
      {type, std::string(17, 'x'), 400},                                              // not whole blocks
      {"application/octet-streamabc", client_->encrypt(header(uid, 1, 0, 0)), 400},
      {"application/octet-stream999999", client_->encrypt(header(999999, 1, 0, 0)), 403},
      {"vesk-favorite" + std::to_string(uid),
       client_->encrypt(header(uid, uid, 0, 0) + "GIF89a not a package"), 400},
  };
  for (const auto& c : cases) {
    auto r = client_->post(c.contentType, c.body);
    EXPECT_EQ(r.status, c.status) << c.contentType << " " << c.body.size();
  }
  EXPECT_EQ(client_->control("bookmarks?user=" + std::to_string(uid)).body, "version 0\n");
}

TEST(UserDataPackage, UnwrapsWhatWrapBuildsAtEveryLength) {
  std::string head = "GIF89a" + std::string(560, 'h');
  for (size_t n : {0u, 1u, 253u, 254u, 255u, 508u, 1000u}) {
    std::string pkg(n, 'p');
    EXPECT_EQ(vesk::UserDataPackage::unwrap(vesk::UserDataPackage::wrap(head, pkg)), pkg) << n;
  }
  std::string cut = vesk::UserDataPackage::wrap(head, std::string(300, 'p'));
  cut.resize(700);
  EXPECT_THROW(vesk::UserDataPackage::unwrap(cut), vesk::ProtocolError);
  EXPECT_THROW(vesk::UserDataPackage::unwrap("GIF89a"), vesk::ProtocolError);
  EXPECT_THROW(vesk::UserDataPackage::parse(be(1505, 4) + be(1, 2) + be(1000, 4)), vesk::ProtocolError);
  EXPECT_THROW(vesk::UserDataPackage::parse(be(1506, 4)), vesk::ProtocolError);
}

}  // namespace
}  // namespace vesktest
