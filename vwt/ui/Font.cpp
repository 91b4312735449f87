#include "vwt/ui/Font.h"

#include <cstring>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/platform/FontEngine.h"

namespace vwt {

namespace {

const int WIDTH_CACHE_SIZE = 65536;
const uint8_t NOT_MEASURED = 255;
// A face name holds at most this many units on the handset.
const int MAX_FACE_NAME = 32;

// The property is optional: without it, or without the property file, the
// face the project ships.
String defaultFaceName() {
  String name;
  try {
    name = System::getProperty(u"font.face.default"_s).trim();
  } catch (const Exception&) {
    name = String::null;
  }
  if (name.isNull()) return u"IPAPGothic"_s;
  if (name.length() > MAX_FACE_NAME) name = name.substring(0, MAX_FACE_NAME);
  return name;
}

}  // namespace

// Sizes may come from page data: the product must not overflow.
Font::Font(int face, int size)
    : handle_(nullptr),
      height_(size),
      ascent_(static_cast<int>(static_cast<int64_t>(size) * 8 / 10)),
      faceType_(face) {
  bool fixedPitch = (face & FACE_MASK) != FACE_VARIABLE_PITCH;
  handle_ = platform::FontEngine::instance().face(defaultFaceName(), size, fixedPitch);
}

Font::~Font() { delete[] widthCache_; }

Font* Font::getFont(int face, int size) { return new Font(face, size); }

Font* Font::getFont(int style) {
  int size;
  switch (style & 0xFF00) {
    case 0x100:
      size = 16;
      break;
    case 0x200:
      size = 20;
      break;
    case 0x300:
      size = 24;
      break;
    default:  // 0x400 and everything else
      size = 12;
      break;
  }
  return new Font(0, size);
}

void Font::getSupportedFontSizes(VectorV<int>& sizes) {
  String list;
  try {
    list = System::getProperty(u"font.size.list"_s);
  } catch (const Exception&) {
    return;
  }
  VectorV<String> items;
  list.split(u',', true, &items);
  for (int i = 0; i < items.size(); ++i) {
    String item = items.elementAt(i).trim();
    // Entries that are not numbers are skipped rather than read as size 0.
    if (item.isNull()) continue;
    char16_t c = item.charAt(0);
    if (!(c >= u'0' && c <= u'9') && c != u'-' && c != u'+') continue;
    if ((c == u'-' || c == u'+') && (item.length() < 2 || item.charAt(1) < u'0' || item.charAt(1) > u'9'))
      continue;
    sizes.addElement(Integer::parseInt(item));
  }
}

void Font::checkBound() const {
  if (!graphics_) throw Exception(Resource::getString(-1400));
}

int Font::stringWidth(const String& s) {
  checkBound();
  return platform::FontEngine::instance().measure(handle_, s.getCString(), s.length());
}

int Font::substringWidth(const String& s, int offset, int length) {
  checkBound();
  int n = s.length();
  // The handset trusted offset + length; outside the text there is nothing to measure.
  if (offset < 0) offset = 0;
  if (offset > n) offset = n;
  if (length > n - offset) length = n - offset;
  if (length <= 0) return 0;
  return platform::FontEngine::instance().measure(handle_, s.getCString() + offset, length);
}

int Font::charWidth(char16_t c) {
  checkBound();
  if (!widthCache_) {
    widthCache_ = new uint8_t[WIDTH_CACHE_SIZE];
    std::memset(widthCache_, NOT_MEASURED, WIDTH_CACHE_SIZE);
  }
  uint8_t cached = widthCache_[c];
  if (cached != NOT_MEASURED) return cached;
  int width = platform::FontEngine::instance().advance(handle_, c);
  // A byte holds widths below 255; a wider glyph is measured each time rather
  // than stored cut.
  if (width >= 0 && width < NOT_MEASURED) widthCache_[c] = static_cast<uint8_t>(width);
  return width;
}

}  // namespace vwt
