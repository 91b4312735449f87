#include "EnvelopeDecoder.h"

#include "WireReader.h"

namespace vesktest {

namespace {

std::vector<int32_t> refs(WireReader& r) {
  std::vector<int32_t> out;
  int32_t k = r.i32();
  for (int32_t i = 0; i < k; ++i) out.push_back(r.i32());
  return out;
}

DecodedItem item(WireReader& r) {
  DecodedItem it;
  it.type = r.i8();
  int t = it.type;
  if ((t >= 3 && t <= 22) || t == 29) {
    it.x = r.i32();
    it.y = r.i32();
    it.w = r.i32();
    it.h = r.i32();
  }
  switch (t) {
    case 3:
      it.color = r.i32();
      it.text = r.utf();
      it.value1 = r.i32();
      it.flags = r.i32();
      break;
    case 5:
    case 6:
      it.text = r.utf();
      it.image = r.i32();
      it.param1 = r.i32();
      it.param2 = r.i32();
      it.name = r.utf();
      it.flags = r.i32();
      it.value1 = r.i32();
      it.value2 = r.i32();
      break;
    case 7:
      it.text = r.utf();
      break;
    case 8:
      it.color = r.i32();
      it.flags = r.i32();
      break;
    case 9:
    case 10:
      it.color = r.i32();
      break;
    case 11:
      it.text = r.utf();
      it.image = r.i32();
      it.param1 = r.i32();
      it.param2 = r.i32();
      break;
    case 12:
      it.color = r.i32();
      it.text = r.utf();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 13:
    case 14:
      it.color = r.i32();
      it.color2 = r.i32();
      it.text = r.utf();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 15:
    case 16:
      it.text = r.utf();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 17:
    case 18: {
      it.color = r.i32();
      it.color2 = r.i32();
      it.value2 = r.i32();
      int32_t n = r.i32();
      for (int32_t i = 0; i < n; ++i) it.labels.push_back(r.utf());
      n = r.i32();
      for (int32_t i = 0; i < n; ++i) it.values.push_back(r.utf());
      n = r.i32();
      for (int32_t i = 0; i < n; ++i) it.selected.push_back(r.boolean());
      it.name = r.utf();
      it.flags = r.i32();
      it.value1 = it.value2;
      break;
    }
    case 19:
      it.color = r.i32();
      it.color2 = r.i32();
      it.text = r.utf();
      it.value1 = r.i32();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 22:
      it.text = r.utf();
      it.image = r.i32();
      it.param1 = r.i32();
      it.param2 = r.i32();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 24:
      it.name = r.utf();
      it.text = r.utf();
      it.flags = r.i32();
      break;
    case 25:
      it.x = r.i32();
      it.y = r.i32();
      it.name = r.utf();
      it.flags = r.i32();
      break;
    case 29:
      it.color2 = r.i32();
      it.flags = r.i32();
      if (it.flags & 0x40) it.color = r.i32();
      for (int k = 0; k < 4; ++k)
        if (it.flags & (1 << k)) {
          it.border[k][0] = r.i32();
          it.border[k][1] = r.i16();
          it.border[k][2] = r.i8();
        }
      if (it.flags & 0x10) {
        it.image = r.i32();
        it.param1 = r.i32();
        it.param2 = r.i32();
      }
      break;
    case 32:
      it.x = r.i32();
      it.y = r.i32();
      it.w = r.i32();
      it.h = r.i32();
      it.name = r.utf();
      break;
    case 100:
      it.text = r.utf();
      it.refs = refs(r);
      it.flags = r.i32();
      break;
    case 101:
      it.refs = refs(r);
      break;
    case 102:
      it.text = r.utf();
      it.m = r.i16();
      it.e = r.i16();
      it.extra = r.utf();
      it.refs = refs(r);
      break;
    case 103:
      it.color = r.i32();
      it.x = r.i32();
      it.y = r.i32();
      it.w = r.i32();
      it.h = r.i32();
      it.text = r.utf();
      it.name = r.utf();
      it.refs.push_back(r.i32());
      break;
    default:
      break;
  }
  return it;
}

}  // namespace

DecodedEnvelope decodeEnvelope(const std::string& inflated, bool withFileCount) {
  WireReader r(inflated);
  DecodedEnvelope e;
  e.version = r.i32();
  e.status = r.i32();
  e.message = r.utf();
  e.argument = r.utf();
  if (e.status == 31000) {
    int32_t n = r.i32();
    for (int32_t i = 0; i < n; ++i) e.bookmarks.push_back(r.utf());
  }
  e.userId = r.i32();
  e.value1 = r.i32();
  e.value2 = r.i32();
  e.bookmarkVersion = r.i32();
  e.sessionId = r.utf();
  e.pageId = r.i32();
  e.pageNo = r.i16();
  e.pageFlags = r.i16();
  e.url = r.utf();
  e.title = r.utf();
  e.background = r.i32();
  e.width = r.i32();
  e.height = r.i32();
  int32_t m = r.i32();
  for (int32_t i = 0; i < m; ++i) e.items.push_back(item(r));
  int32_t s = r.i32();
  for (int32_t i = 0; i < s; ++i) e.structure.push_back(item(r));
  int32_t f = r.i16();
  for (int32_t i = 0; i < f; ++i) {
    std::string name = r.utf();
    e.frames.emplace_back(name, r.i32());
  }
  int32_t n = r.i32();
  for (int32_t i = 0; i < n; ++i) e.imageSizes.push_back(r.i32());
  e.imageTotal = r.i32();
  e.blockCount = r.i32();
  e.memoryLimit = r.i32();
  if (withFileCount) e.fileCount = r.i32();
  int32_t groups = r.i32();
  for (int32_t g = 0; g < groups; ++g) {
    std::vector<DecodedCookie> list;
    int32_t c = r.i16();
    for (int32_t i = 0; i < c; ++i) {
      DecodedCookie k;
      k.domain = r.utf();
      k.path = r.utf();
      k.name = r.utf();
      k.value = r.utf();
      k.lifetime = r.i32();
      k.flags = r.i16();
      list.push_back(k);
    }
    e.cookieGroups.push_back(list);
  }
  e.trailingBytes = r.remaining();
  return e;
}

}  // namespace vesktest
