#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>

#include "tests/vwt/TestText.h"
#include "vwt/io/Connector.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/ResourceConnection.h"
#include "vwt/io/StorageConnection.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/HttpConnection.h"
#include "vwt/platform/Paths.h"

namespace {

// A program directory of its own with the message texts and a picture.
class ConnectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = vwt::platform::programDirectory();
    char pattern[] = "/tmp/vwt-connector-XXXXXX";
    dir_ = mkdtemp(pattern);
    mkdir((dir_ + "/res").c_str(), 0700);
    const char* source = getenv("VWT_TEST_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : VWT_SOURCE_DIR) + "/res/message.txt", std::ios::binary);
    std::ofstream(dir_ + "/res/message.txt", std::ios::binary) << in.rdbuf();
    std::ofstream(dir_ + "/res/icon.gif", std::ios::binary) << "GIF89a";
    vwt::platform::setProgramDirectory(dir_);
    Resource::unload();
  }
  void TearDown() override {
    vwt::platform::setProgramDirectory(saved_);
    Resource::unload();
    std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(0, system(command.c_str()));
  }

  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  void writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The message id among ids that the exception carries, with argument arg.
  static int idOf(const Exception& e, const String& arg, std::initializer_list<int> ids) {
    for (int id : ids)
      if (e.getRawMessage().equals(Resource::getString(id, arg))) return id;
    return 0;
  }

  std::string saved_;
  std::string dir_;
};

// Reads through a data stream the way the owners of stored records do.
std::string readStored(const std::string& address, int count) {
  Connection* c = nullptr;
  AutoPtr<DataInputStream> in(Connector::openDataInputStream(wide(address), &c));
  EXPECT_NE(nullptr, c);
  std::string out(count, '\0');
  in->readFully(&out[0], 0, count);
  in->close();
  delete c;
  return out;
}

}  // namespace

TEST_F(ConnectorTest, ScratchpadReadsFromItsPosition) {
  writeFile("data0.bin", "0123456789abcdef");
  EXPECT_EQ("0123", readStored("scratchpad:///0", 4));
  EXPECT_EQ("abc", readStored("scratchpad:///0;pos=10,x", 3));
  EXPECT_EQ("5", readStored("scratchpad:///0;pos=5", 1));
}

TEST_F(ConnectorTest, ScratchpadWritesInPlaceWithoutChangingTheLength) {
  writeFile("data12.bin", std::string(12, 'z'));
  Connection* c = nullptr;
  AutoPtr<DataOutputStream> out(Connector::openDataOutputStream(u"scratchpad:///12;pos=4"_s, &c));
  ASSERT_NE(nullptr, c);
  out->writeInt(1);
  out->close();
  delete c;
  out.reset();
  EXPECT_EQ(std::string("zzzz\0\0\0\1zzzz", 12), readFile("data12.bin"));
}

TEST_F(ConnectorTest, ScratchpadWriteNeedsAnExistingFile) {
  Connection* c = reinterpret_cast<Connection*>(1);
  EXPECT_THROW(Connector::openDataOutputStream(u"scratchpad:///7"_s, &c), Exception);
  EXPECT_EQ(nullptr, c);
  EXPECT_FALSE(std::ifstream(path("data7.bin")).good());
}

TEST_F(ConnectorTest, CreateInitialFile) {
  struct Case {
    int before;  // -1: no file
    bool truncate;
    size_t after;
  } cases[] = {{1000, false, 1024}, {1024, false, 1024}, {5000, false, 5000}, {-1, false, 1024},
               {5000, true, 1024},  {1000, true, 1024},  {-1, true, 1024}};
  for (const Case& k : cases) {
    remove(path("data0.bin").c_str());
    if (k.before >= 0) writeFile("data0.bin", std::string(k.before, 'q'));
    StorageConnection::createInitialFile(u"0"_s, 1024, k.truncate);
    std::string bytes = readFile("data0.bin");
    ASSERT_EQ(k.after, bytes.size()) << k.before << " " << k.truncate;
    size_t kept = k.truncate || k.before < 0 ? 0 : std::min<size_t>(k.before, k.after);
    EXPECT_EQ(std::string(kept, 'q'), bytes.substr(0, kept));
    EXPECT_EQ(std::string(k.after - kept, '\0'), bytes.substr(kept)) << k.before << " " << k.truncate;
  }
  // Larger than one block of zeros.
  StorageConnection::createInitialFile(u"big"_s, 409600, false);
  EXPECT_EQ(std::string(409600, '\0'), readFile("databig.bin"));
}

TEST_F(ConnectorTest, ResourceOpensFilesBesideTheProgramForReadingOnly) {
  EXPECT_EQ("GIF89a", readStored("resource:///icon.gif", 6));
  try {
    AutoPtr<Connection> c(Connector::open(u"resource:///icon.gif"_s, Connector::WRITE));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(-900, idOf(e, wide(path("res/icon.gif")), {-900, -901}));
  }
  try {
    AutoPtr<Connection> c(Connector::open(u"resource:///icon.gif"_s, Connector::READ_WRITE));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(-901, idOf(e, wide(path("res/icon.gif")), {-900, -901}));
  }
}

TEST_F(ConnectorTest, AddressErrors) {
  struct Case {
    const char16_t* address;
    int id;
    std::function<void(const String&)> call;
  } cases[] = {
      {u"ftp://x", -200, [](const String& a) { delete Connector::open(a, Connector::READ); }},
      {u"Scratchpad:///0", -200, [](const String& a) { delete Connector::open(a, Connector::READ); }},
      {u"resource:///icon.gif", -201,
       [](const String& a) {
         Connection* c;
         delete Connector::openDataOutputStream(a, &c);
       }},
      {u"http://127.0.0.1:9/", -201,
       [](const String& a) {
         Connection* c;
         delete Connector::openDataOutputStream(a, &c);
       }},
      {u"http://127.0.0.1:9/", -202,
       [](const String& a) {
         Connection* c;
         delete Connector::openDataInputStream(a, &c);
       }},
  };
  for (const Case& k : cases) {
    String address(k.address, false);
    try {
      k.call(address);
      ADD_FAILURE() << k.id;
    } catch (const Exception& e) {
      EXPECT_EQ(k.id, idOf(e, address, {-200, -201, -202})) << k.id;
    }
  }
}

TEST_F(ConnectorTest, StorageAccessOtherThanReadOrWrite) {
  writeFile("data0.bin", "x");
  try {
    AutoPtr<Connection> c(Connector::open(u"scratchpad:///0"_s, Connector::READ_WRITE));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(-1000, idOf(e, wide(path("data0.bin")), {-1000}));
  }
}

TEST_F(ConnectorTest, CloseDeletesTheStreamAndForgetsIt) {
  writeFile("data0.bin", "abc");
  AutoPtr<Connection> c(Connector::open(u"scratchpad:///0;pos=1"_s, Connector::READ));
  StorageConnection* s = static_cast<StorageConnection*>(c.get());
  ASSERT_NE(nullptr, s->getInputStream());
  EXPECT_EQ(nullptr, s->getOutputStream());
  EXPECT_EQ('b', s->getInputStream()->read());
  s->close();
  EXPECT_EQ(nullptr, s->getInputStream());
  s->close();
}

TEST_F(ConnectorTest, WebAddressesGiveHttpConnectionsWithoutConnecting) {
  AutoPtr<Connection> c(Connector::open(u"https://127.0.0.1:9/x"_s, Connector::READ_WRITE));
  HttpConnection* h = dynamic_cast<HttpConnection*>(c.get());
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(Connector::READ_WRITE, h->getAccessType());
  EXPECT_EQ(9, h->getUrl().getPort());
  EXPECT_TRUE(h->getRequestMethod().equals(u"GET"));
}
