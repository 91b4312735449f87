#include "service/UserDataPackage.h"

#include <algorithm>

#include "service/DataReader.h"
#include "service/ProtocolError.h"

namespace vesk {

std::string UserDataPackage::unwrap(const std::string& pic) {
  const size_t at = PICTURE_HEAD_BYTES;
  if (pic.size() < at + 2) throw ProtocolError("picture too short for a comment");
  if (pic.compare(0, 3, "GIF") != 0) throw ProtocolError("not a GIF picture");
  if (static_cast<unsigned char>(pic[at]) != 0x21 || static_cast<unsigned char>(pic[at + 1]) != 0xFE)
    throw ProtocolError("no comment extension after the picture head");
  std::string out;
  size_t i = at + 2;
  while (true) {
    if (i >= pic.size()) throw ProtocolError("comment not terminated");
    size_t n = static_cast<unsigned char>(pic[i++]);
    if (n == 0) break;
    if (n > pic.size() - i) throw ProtocolError("comment sub-block overruns the picture");
    out.append(pic, i, n);
    i += n;
  }
  return out;
}

std::string UserDataPackage::wrap(const std::string& head, const std::string& package) {
  std::string out = head;
  out += "\x21\xFE";
  for (size_t i = 0; i < package.size(); i += 254) {
    size_t n = std::min<size_t>(254, package.size() - i);
    out.push_back(static_cast<char>(n));
    out.append(package, i, n);
  }
  out.push_back('\0');
  out.push_back('\x3B');
  return out;
}

UserDataPackage UserDataPackage::parse(const std::string& package) {
  DataReader r(package);
  if (r.readInt() != MAGIC) throw ProtocolError("user-data package without its magic");
  UserDataPackage p;
  while (r.remaining() >= 6) {
    int32_t id = r.readShort();
    int32_t len = r.readInt();
    if (len < 0 || static_cast<size_t>(len) > r.remaining()) throw ProtocolError("package section overruns");
    std::string payload = r.readBytes(static_cast<size_t>(len));
    DataReader s(payload);
    if (id == 1) {
      int32_t pairs = s.readInt();
      if (pairs < 0 || static_cast<size_t>(pairs) > payload.size() / 4)
        throw ProtocolError("bad bookmark count");
      p.hasBookmarks = true;
      for (int32_t k = 0; k < pairs * 2; ++k) p.bookmarks.push_back(s.readUTF());
    } else if (id == 2) {
      p.flagWord = s.readInt();
    } else if (id == 5) {
      p.homeUrl = s.readUTF();
    }
  }
  return p;
}

}  // namespace vesk
