#include "service/PageWriter.h"

#include "service/DataWriter.h"
#include "service/ProtocolError.h"

namespace vesk {

namespace {

void writeRefs(DataWriter& out, const std::vector<int32_t>& refs) {
  out.writeInt(static_cast<int32_t>(refs.size()));
  for (int32_t r : refs) out.writeInt(r);
}

}  // namespace

void PageWriter::writeItem(DataWriter& out, const RenderItem& it) {
  out.writeByte(it.type);
  if (hasRectangle(it.type)) {
    out.writeInt(it.x);
    out.writeInt(it.y);
    out.writeInt(it.width);
    out.writeInt(it.height);
  }
  switch (it.type) {
    case TEXT:
      out.writeInt(it.color);
      out.writeUTF(it.text);
      out.writeInt(it.value1);
      out.writeInt(it.flags);
      break;
    case 5:
    case 6:
      out.writeUTF(it.text);
      out.writeInt(it.image);
      out.writeInt(it.param1);
      out.writeInt(it.param2);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      out.writeInt(it.value1);
      out.writeInt(it.value2);
      break;
    case PLACEHOLDER:
      out.writeUTF(it.text);
      break;
    case LINE:
      out.writeInt(it.color);
      out.writeInt(it.flags);
      break;
    case RECT:
    case FILLED_RECT:
      out.writeInt(it.color);
      break;
    case TILED_IMAGE:
      out.writeUTF(it.text);
      out.writeInt(it.image);
      out.writeInt(it.param1);
      out.writeInt(it.param2);
      break;
    case BUTTON:
      out.writeInt(it.color);
      out.writeUTF(it.text);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case TEXT_FIELD:
    case PASSWORD_FIELD:
      out.writeInt(it.color);
      out.writeInt(it.color2);
      out.writeUTF(it.text);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case CHECKBOX:
    case RADIO:
      out.writeUTF(it.text);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case SELECT:
    case LIST:
      out.writeInt(it.color);
      out.writeInt(it.color2);
      out.writeInt(it.value2);
      out.writeInt(static_cast<int32_t>(it.labels.size()));
      for (const auto& s : it.labels) out.writeUTF(s);
      out.writeInt(static_cast<int32_t>(it.values.size()));
      for (const auto& s : it.values) out.writeUTF(s);
      out.writeInt(static_cast<int32_t>(it.selected.size()));
      for (bool b : it.selected) out.writeBoolean(b);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case TEXT_AREA:
      out.writeInt(it.color);
      out.writeInt(it.color2);
      out.writeUTF(it.text);
      out.writeInt(it.value1);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case IMAGE_BUTTON:
      out.writeUTF(it.text);
      out.writeInt(it.image);
      out.writeInt(it.param1);
      out.writeInt(it.param2);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case HIDDEN_FIELD:
      out.writeUTF(it.name);
      out.writeUTF(it.text);
      out.writeInt(it.flags);
      break;
    case ANCHOR:
      out.writeInt(it.x);
      out.writeInt(it.y);
      out.writeUTF(it.name);
      out.writeInt(it.flags);
      break;
    case BOX:
      out.writeInt(it.color2);
      out.writeInt(it.flags);
      if (it.flags & 0x40) out.writeInt(it.color);
      for (int k = 0; k < 4; ++k) {
        if (!(it.flags & (1 << k))) continue;
        out.writeInt(it.border[k].color);
        out.writeShort(it.border[k].width);
        out.writeByte(it.border[k].style);
      }
      if (it.flags & 0x10) {
        out.writeInt(it.image);
        out.writeInt(it.param1);
        out.writeInt(it.param2);
      }
      break;
    case OBJECT:
      out.writeInt(it.x);
      out.writeInt(it.y);
      out.writeInt(it.width);
      out.writeInt(it.height);
      out.writeUTF(it.name);
      break;
    case LINK:
      out.writeUTF(it.text);
      writeRefs(out, it.refs);
      out.writeInt(it.flags);
      break;
    case CONTROL:
      writeRefs(out, it.refs);
      break;
    case FORM:
      out.writeUTF(it.text);
      out.writeShort(it.formM);
      out.writeShort(it.formE);
      out.writeUTF(it.extra);
      writeRefs(out, it.refs);
      break;
    case AREA:
      out.writeInt(it.color);  // shape
      out.writeInt(it.x);
      out.writeInt(it.y);
      out.writeInt(it.width);
      out.writeInt(it.height);
      out.writeUTF(it.text);
      out.writeUTF(it.name);
      out.writeInt(it.refs.empty() ? -1 : it.refs[0]);
      break;
    default:
      break;  // codes the handset only logs: type byte (and rectangle) alone
  }
}

void PageWriter::write(DataWriter& out, const Page& page, int32_t pageId, const std::string& url) {
  out.writeInt(pageId);
  out.writeShort(page.pageNo);
  out.writeShort(page.pageFlags);
  out.writeUTF(url);
  out.writeUTF(page.title);
  out.writeInt(page.background);
  out.writeInt(page.width);
  out.writeInt(page.height);
  out.writeInt(static_cast<int32_t>(page.items.size()));
  for (const auto& it : page.items) writeItem(out, it);
  out.writeInt(static_cast<int32_t>(page.structure.size()));
  for (const auto& it : page.structure) writeItem(out, it);
  if (page.frames.size() > 0x7FFF) throw ProtocolError("too many frames");
  out.writeShort(static_cast<int32_t>(page.frames.size()));
  for (const auto& f : page.frames) {
    out.writeUTF(f.name);
    out.writeInt(f.value);
  }
}

}  // namespace vesk
