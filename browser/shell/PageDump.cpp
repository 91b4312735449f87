#include "browser/shell/PageDump.h"

#include <cstdio>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "browser/shell/SessionCore.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"

namespace {
std::string hex(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%X", static_cast<unsigned int>(v));
  return b;
}

std::string num(int v) { return std::to_string(v); }

const char* typeName(int type) {
  switch (type) {
    case 3:
      return "TEXT";
    case 4:
      return "RECTANGLE_ONLY";
    case 5:
      return "IMAGE";
    case 6:
      return "IMAGE_ALT";
    case 7:
      return "PLACEHOLDER";
    case 8:
      return "LINE";
    case 9:
      return "RECT";
    case 10:
      return "FILLED_RECT";
    case 11:
      return "TILED_IMAGE";
    case 12:
      return "BUTTON";
    case 13:
      return "TEXT_FIELD";
    case 14:
      return "PASSWORD_FIELD";
    case 15:
      return "CHECKBOX";
    case 16:
      return "RADIO";
    case 17:
      return "SELECT";
    case 18:
      return "LIST";
    case 19:
      return "TEXT_AREA";
    case 22:
      return "IMAGE_BUTTON";
    case 24:
      return "HIDDEN_FIELD";
    case 25:
      return "ANCHOR";
    case 29:
      return "BOX";
    case 32:
      return "OBJECT";
    case 100:
      return "LINK";
    case 101:
      return "CONTROL";
    case 102:
      return "FORM";
    case 103:
      return "AREA";
    default:
      return nullptr;
  }
}

// The dump index of a referenced item: main list first, then the second.
std::string refIndex(const Page& page, const Object* ref) {
  if (!ref) return "null";
  if (const Integer* boxed = dynamic_cast<const Integer*>(ref)) return "?" + num(boxed->intValue());
  for (int i = 0; i < page.mainCount(); ++i)
    if (page.items->elementAt(i) == ref) return num(i);
  for (int i = 0; i < page.structureCount(); ++i)
    if (page.structure->elementAt(i) == ref) return num(page.mainCount() + i);
  return "?";
}

std::string value(const Object* o) {
  if (!o) return "null";
  if (const String* s = dynamic_cast<const String*>(o)) return PageDump::quote(*s);
  if (const Integer* i = dynamic_cast<const Integer*>(o)) return num(i->intValue());
  if (const Boolean* b = dynamic_cast<const Boolean*>(o)) return b->boolValue() ? "true" : "false";
  return "?";
}

std::string item(const Page& page, const RenderItem& it, bool structure) {
  std::string line;
  const char* name = typeName(it.type);
  line += name ? name : ("TYPE" + num(it.type)).c_str();
  int t = it.type;
  bool hasRect = (t >= 3 && t <= 22) || t == 29 || t == 32 || t == 25 || t == 103;
  if (hasRect) line += " rect=" + num(it.x) + "," + num(it.y) + "," + num(it.width) + "," + num(it.height);
  auto add = [&line](const char* key, const std::string& v) { line += std::string(" ") + key + "=" + v; };
  switch (t) {
    case 3:
      add("color", hex(it.color));
      add("text", PageDump::quote(it.text));
      add("value1", num(it.value1));
      add("flags", hex(it.flags));
      break;
    case 5:
    case 6:
      add("text", PageDump::quote(it.text));
      add("image", num(it.imageIndex));
      add("param1", num(it.param1));
      add("param2", num(it.param2));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      add("value1", hex(it.value1));
      add("value2", hex(it.value2));
      break;
    case 7:
      add("text", PageDump::quote(it.text));
      break;
    case 8:
      add("color", hex(it.color));
      add("flags", hex(it.flags));
      break;
    case 9:
    case 10:
      add("color", hex(it.color));
      break;
    case 11:
      add("text", PageDump::quote(it.text));
      add("image", num(it.imageIndex));
      add("param1", hex(it.param1));
      add("param2", hex(it.param2));
      break;
    case 12:
      add("color", hex(it.color));
      add("text", PageDump::quote(it.text));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 13:
    case 14:
      add("color", hex(it.color));
      add("color2", hex(it.color2));
      add("text", PageDump::quote(it.text));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 15:
    case 16:
      add("text", PageDump::quote(it.text));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 17:
    case 18:
      add("color", hex(it.color));
      add("color2", hex(it.color2));
      add("value2", num(it.value2));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 19:
      add("color", hex(it.color));
      add("color2", hex(it.color2));
      add("text", PageDump::quote(it.text));
      add("value1", num(it.value1));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 22:
      add("text", PageDump::quote(it.text));
      add("image", num(it.imageIndex));
      add("param1", num(it.param1));
      add("param2", num(it.param2));
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 24:
      add("name", PageDump::quote(it.name));
      add("text", PageDump::quote(it.text));
      add("flags", hex(it.flags));
      break;
    case 25:
      add("name", PageDump::quote(it.name));
      add("flags", hex(it.flags));
      break;
    case 29:
      add("color2", hex(it.color2));
      add("flags", hex(it.flags));
      if (it.flags & 0x40) add("outline", hex(it.color));
      if (it.flags & 0x10) {
        add("image", num(it.imageIndex));
        add("param1", num(it.param1));
        add("param2", hex(it.param2));
      }
      break;
    case 32:
      add("name", PageDump::quote(it.name));
      break;
    case 100:
      add("text", PageDump::quote(it.text));
      add("flags", hex(it.flags));
      break;
    case 102:
      add("text", PageDump::quote(it.text));
      add("flags", hex(it.flags));
      break;
    case 103:
      add("shape", num(it.color));
      add("text", PageDump::quote(it.text));
      add("flags", hex(it.flags));
      break;
    default:
      break;
  }
  if (structure && it.refs) {
    std::string refs;
    for (int i = 0; i < it.refs->size(); ++i) refs += (i ? "," : "") + refIndex(page, it.refs->elementAt(i));
    add("refs", "[" + refs + "]");
  }
  if (it.lists) {
    for (int l = 0; l < it.lists->size(); ++l) {
      RenderItem::ValueList* list = it.lists->elementAt(l);
      std::string values;
      for (int i = 0; list && i < list->size(); ++i) values += (i ? "," : "") + value(list->elementAt(i));
      add(("list" + num(l)).c_str(), "[" + values + "]");
    }
  }
  if (it.child) add("child", "{" + item(page, *it.child, false) + "}");
  return line;
}
}  // namespace

std::string PageDump::quote(const String& text) {
  std::string out = "\"";
  for (int i = 0; i < text.length(); ++i) {
    char16_t c = text.charAt(i);
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04X", static_cast<unsigned int>(c));
      out += b;
    }
  }
  return out + "\"";
}

std::string PageDump::dump(const Page& page, SessionCore& core) {
  std::string out;
  auto line = [&out](const std::string& s) { out += s + "\n"; };
  line("url " + quote(page.url));
  line("pageId " + num(page.pageId));
  line("pageNo " + num(page.pageNo));
  line("title " + quote(page.title));
  line("background " + hex(page.backgroundColor));
  line("size " + num(page.width) + "x" + num(page.height));
  line("pageFlags " + hex(page.pageFlags));
  line("carried " + num(page.carriedValue));
  line("main " + num(page.mainCount()));
  for (int i = 0; i < page.mainCount(); ++i)
    line(num(i) + " " + item(page, *page.items->elementAt(i), false));
  line("structure " + num(page.structureCount()));
  for (int i = 0; i < page.structureCount(); ++i)
    line(num(page.mainCount() + i) + " " + item(page, *page.structure->elementAt(i), true));
  int frames = page.frames ? page.frames->size() : 0;
  line("frames " + num(frames));
  for (int i = 0; i < frames; ++i)
    line("frame " + num(i) + " " + quote(page.frames->elementAt(i)->name) + " " +
         num(page.frames->elementAt(i)->value));
  ImageTable& table = core.getImageTable();
  line("images " + num(table.imageCount()) + " total=" + num(table.bytesTotal) + " blocks=" +
       num(table.blockCount) + " limit=" + num(table.memoryLimit) + " files=" + num(table.fileCount));
  for (int i = 0; i < table.imageCount(); ++i) {
    int size = table.offsets.elementAt(i + 1) - table.offsets.elementAt(i);
    int held = page.images && i < page.images->size() ? page.images->elementAt(i)->size() : 0;
    line("image " + num(i) + " size=" + num(size) + " received=" + num(held));
  }
  String cookies = core.getCookieStore().cookieText(page.url, String());
  line("cookies " + quote(cookies));
  return out;
}
