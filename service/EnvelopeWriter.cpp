#include "service/EnvelopeWriter.h"

#include <map>

#include "service/DataWriter.h"
#include "service/PageWriter.h"
#include "service/ProtocolError.h"
#include "service/ServedPage.h"

namespace vesk {

std::string EnvelopeWriter::write(const EnvelopeHead& head, const Page& page, const ServedPage& served,
                                  const Options& opt) {
  DataWriter w;
  w.reserve(64 + page.items.size() * 40);
  w.writeInt(head.serviceVersion);
  w.writeInt(head.command.status);
  w.writeUTF(head.command.message);
  w.writeUTF(head.command.argument);
  if (head.command.status == 31000) {
    w.writeInt(static_cast<int32_t>(head.bookmarks.size()));
    for (const auto& s : head.bookmarks) w.writeUTF(s);
  }
  w.writeInt(head.userId);
  w.writeInt(head.serverValue1);
  w.writeInt(head.serverValue2);
  w.writeInt(head.bookmarkVersion);
  w.writeUTF(head.sessionId);

  PageWriter::write(w, page, opt.pageId, opt.url);

  w.writeInt(static_cast<int32_t>(served.imageSizes().size()));
  for (int32_t s : served.imageSizes()) w.writeInt(s);
  w.writeInt(served.imageBytesTotal());
  w.writeInt(served.blockCount());
  w.writeInt(opt.imageMemoryLimit);
  if (opt.withFileCount) w.writeInt(served.fileCount());

  // Cookie groups in the order their group number first appears.
  std::vector<int32_t> order;
  std::map<int32_t, std::vector<const Cookie*>> groups;
  for (const auto& c : page.cookies) {
    if (!groups.count(c.group)) order.push_back(c.group);
    groups[c.group].push_back(&c);
  }
  w.writeInt(static_cast<int32_t>(order.size()));
  for (int32_t g : order) {
    const auto& list = groups[g];
    if (list.size() > 0x7FFF) throw ProtocolError("too many cookies in a group");
    w.writeShort(static_cast<int32_t>(list.size()));
    for (const Cookie* c : list) {
      w.writeUTF(c->domain);
      w.writeUTF(c->path);
      w.writeUTF(c->name);
      w.writeUTF(c->value);
      w.writeInt(c->lifetime);
      w.writeShort(c->flags);
    }
  }
  return w.take();
}

}  // namespace vesk
