#include "browser/store/BackupPicture.h"

#include <algorithm>

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/Connector.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/Connection.h"

namespace {

const int CANNOT_WRAP = 10191;
const int NOT_A_BACKUP = 10192;
const int CANNOT_READ = 10193;
const unsigned char EXTENSION = 0x21, COMMENT = 0xFE, TERMINATOR = 0x00, TRAILER = 0x3B;

// Exactly n bytes into out from its end, or false when the stream ends first.
bool readExactly(InputStream& in, std::vector<char>& out, int n) {
  size_t at = out.size();
  out.resize(at + n);
  int got = 0;
  while (got < n) {
    int r = in.read(out.data(), static_cast<int>(at) + got, n - got);
    if (r <= 0) return false;
    got += r;
  }
  return true;
}

}  // namespace

const char16_t BackupPicture::LOGO[] = u"resource:///vesklogo.gif";

std::vector<char> BackupPicture::wrap(const std::vector<char>& logo, const std::vector<char>& package) {
  if (static_cast<int>(logo.size()) < HEAD_BYTES) throw Exception(Resource::getString(CANNOT_WRAP));
  std::vector<char> out(logo.begin(), logo.begin() + HEAD_BYTES);
  out.reserve(HEAD_BYTES + 4 + package.size() + package.size() / SUB_BLOCK + 1);
  out.push_back(static_cast<char>(EXTENSION));
  out.push_back(static_cast<char>(COMMENT));
  for (size_t i = 0; i < package.size(); i += SUB_BLOCK) {
    size_t n = std::min(package.size() - i, static_cast<size_t>(SUB_BLOCK));
    out.push_back(static_cast<char>(n));
    out.insert(out.end(), package.begin() + i, package.begin() + i + n);
  }
  out.push_back(static_cast<char>(TERMINATOR));
  out.push_back(static_cast<char>(TRAILER));
  return out;
}

std::vector<char> BackupPicture::wrap(const std::vector<char>& package) { return wrap(logoHead(), package); }

std::vector<char> BackupPicture::unwrap(const std::vector<char>& picture) {
  ByteArrayInputStream in(picture.data(), 0, static_cast<int>(picture.size()));
  return unwrap(in);
}

std::vector<char> BackupPicture::unwrap(InputStream& in) {
  std::vector<char> head, package;
  bool read = false;
  try {
    read = readExactly(in, head, PACKAGE_START);
  } catch (const Exception&) {
    // A failing stream reads as a short one.
  }
  if (!read) throw Exception(Resource::getString(CANNOT_READ));
  if (static_cast<unsigned char>(head[HEAD_BYTES]) != EXTENSION ||
      static_cast<unsigned char>(head[HEAD_BYTES + 1]) != COMMENT)
    throw Exception(Resource::getString(NOT_A_BACKUP));
  try {
    int length = SUB_BLOCK;
    while (read && length == SUB_BLOCK) {
      int b = in.read();
      length = b & 0xFF;
      read = b >= 0 && static_cast<int>(package.size()) + length <= MAX_PACKAGE &&
             readExactly(in, package, length);
    }
  } catch (const Exception&) {
    read = false;
  }
  if (!read) throw Exception(Resource::getString(CANNOT_READ));
  return package;
}

std::vector<char> BackupPicture::logoHead() {
  Connection* connection = nullptr;
  DataInputStream* in = nullptr;
  std::vector<char> head(HEAD_BYTES);
  bool read = false;
  try {
    in = Connector::openDataInputStream(String(LOGO, false), &connection);
    in->readFully(head.data(), 0, HEAD_BYTES);
    read = true;
  } catch (const Exception&) {
    // Reported below, once the connection is closed.
  }
  if (in) in->close();
  delete connection;
  delete in;
  if (!read) throw Exception(Resource::getString(CANNOT_WRAP));
  return head;
}
