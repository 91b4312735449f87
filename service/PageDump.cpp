#include "service/PageDump.h"

#include <cstdio>

namespace vesk {

namespace {

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string color(int32_t c) {
  char buf[16];
  if (c == static_cast<int32_t>(0x80000000)) return "none";
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c) & 0xFFFFFF);
  return buf;
}

std::string hex(int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
  return buf;
}

std::string list(const std::vector<int32_t>& v) {
  std::string out = "[";
  for (size_t i = 0; i < v.size(); ++i) out += (i ? "," : "") + std::to_string(v[i]);
  return out + "]";
}

std::string rect(const RenderItem& it) {
  return " x=" + std::to_string(it.x) + " y=" + std::to_string(it.y) + " w=" + std::to_string(it.width) +
         " h=" + std::to_string(it.height);
}

const char* pictureFormat(const std::string& b) {
  if (b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return "PNG";
  if (b.compare(0, 3, "\xFF\xD8\xFF") == 0) return "JPEG";
  if (b.compare(0, 3, "GIF") == 0) return "GIF";
  return "unknown";
}

}  // namespace

const char* PageDump::typeName(int type) {
  switch (type) {
    case TEXT:
      return "TEXT";
    case IMAGE:
      return "IMAGE";
    case PLACEHOLDER:
      return "PLACEHOLDER";
    case LINE:
      return "LINE";
    case RECT:
      return "RECT";
    case FILLED_RECT:
      return "FILLED_RECT";
    case TILED_IMAGE:
      return "TILED_IMAGE";
    case BUTTON:
      return "BUTTON";
    case TEXT_FIELD:
      return "TEXT_FIELD";
    case PASSWORD_FIELD:
      return "PASSWORD_FIELD";
    case CHECKBOX:
      return "CHECKBOX";
    case RADIO:
      return "RADIO";
    case SELECT:
      return "SELECT";
    case LIST:
      return "LIST";
    case TEXT_AREA:
      return "TEXT_AREA";
    case IMAGE_BUTTON:
      return "IMAGE_BUTTON";
    case HIDDEN_FIELD:
      return "HIDDEN_FIELD";
    case ANCHOR:
      return "ANCHOR";
    case BOX:
      return "BOX";
    case OBJECT:
      return "OBJECT";
    case LINK:
      return "LINK";
    case CONTROL:
      return "CONTROL";
    case FORM:
      return "FORM";
    case AREA:
      return "AREA";
    default:
      return "UNKNOWN";
  }
}

std::string PageDump::item(const RenderItem& it) {
  std::string s = typeName(it.type);
  switch (it.type) {
    case TEXT:
      s += rect(it) + " color=" + color(it.color) + " flags=" + hex(it.flags) + " text=" + quoted(it.text);
      break;
    case IMAGE:
    case IMAGE_BUTTON:
      s += rect(it) + " image=" + std::to_string(it.image) + " size=" + std::to_string(it.param1) + "x" +
           std::to_string(it.param2) + " flags=" + hex(it.flags) + " text=" + quoted(it.text) +
           " name=" + quoted(it.name);
      break;
    case PLACEHOLDER:
      s += rect(it) + " text=" + quoted(it.text);
      break;
    case LINE:
    case RECT:
    case FILLED_RECT:
      s += rect(it) + " color=" + color(it.color);
      break;
    case BUTTON:
      s += rect(it) + " flags=" + hex(it.flags) + " text=" + quoted(it.text) + " name=" + quoted(it.name);
      break;
    case TEXT_FIELD:
    case PASSWORD_FIELD:
      s += rect(it) + " text=" + quoted(it.text) + " name=" + quoted(it.name);
      break;
    case CHECKBOX:
    case RADIO:
      s += rect(it) + " flags=" + hex(it.flags) + " text=" + quoted(it.text) + " name=" + quoted(it.name);
      break;
    case SELECT:
    case LIST: {
      s += rect(it) + " selected=" + std::to_string(it.value2) + " flags=" + hex(it.flags) +
           " name=" + quoted(it.name) + " options=[";
      for (size_t i = 0; i < it.labels.size(); ++i) {
        s += (i ? "," : "") + quoted(it.labels[i]) + "=" + quoted(i < it.values.size() ? it.values[i] : "");
        if (i < it.selected.size() && it.selected[i]) s += "*";
      }
      s += "]";
      break;
    }
    case TEXT_AREA:
      s += rect(it) + " text=" + quoted(it.text) + " name=" + quoted(it.name);
      break;
    case HIDDEN_FIELD:
      s += " name=" + quoted(it.name) + " text=" + quoted(it.text);
      break;
    case ANCHOR:
      s += " x=" + std::to_string(it.x) + " y=" + std::to_string(it.y) + " name=" + quoted(it.name);
      break;
    case BOX: {
      s += rect(it) + " background=" + color(it.color2) + " flags=" + hex(it.flags);
      static const char* SIDES[] = {"top", "right", "bottom", "left"};
      for (int k = 0; k < 4; ++k) {
        if (!(it.flags & (1 << k))) continue;
        s += std::string(" ") + SIDES[k] + "=" + std::to_string(it.border[k].width) + "/" +
             color(it.border[k].color);
      }
      if (it.flags & 0x10) s += " image=" + std::to_string(it.image);
      break;
    }
    case OBJECT:
      s += rect(it) + " name=" + quoted(it.name);
      break;
    case LINK:
      s += rect(it) + " url=" + quoted(it.text) + " refs=" + list(it.refs);
      break;
    case CONTROL:
      s += " refs=" + list(it.refs);
      break;
    case FORM:
      s += " action=" + quoted(it.text) + " m=" + hex(it.formM) + " refs=" + list(it.refs);
      break;
    case AREA:
      s += " shape=" + std::to_string(it.color) + rect(it) + " url=" + quoted(it.text) +
           " name=" + quoted(it.name) + " refs=" + list(it.refs);
      break;
    default:
      s += rect(it);
      break;
  }
  return s;
}

std::string PageDump::dump(const Page& page) {
  std::string s = "page title=" + quoted(page.title) + " width=" + std::to_string(page.width) +
                  " height=" + std::to_string(page.height) + " background=" + color(page.background) +
                  " items=" + std::to_string(page.items.size()) +
                  " structure=" + std::to_string(page.structure.size()) + "\n";
  const size_t m = page.items.size();
  for (size_t i = 0; i < m; ++i) s += std::to_string(i) + " " + item(page.items[i]) + "\n";
  for (size_t i = 0; i < page.structure.size(); ++i)
    s += std::to_string(m + i) + " " + item(page.structure[i]) + "\n";
  for (const auto& f : page.frames)
    s += "frame " + quoted(f.name) + " last=" + std::to_string(f.value) + "\n";
  for (size_t i = 0; i < page.images.size(); ++i) {
    s += "image " + std::to_string(i) + " " + pictureFormat(page.images[i].bytes) +
         " bytes=" + std::to_string(page.images[i].bytes.size()) + "\n";
  }
  for (const auto& f : page.files) {
    s += "file " + quoted(f.name) + " bytes=" + std::to_string(f.data.size()) + "\n";
  }
  return s;
}

}  // namespace vesk
