#include "browser/page/FormSubmission.h"

#include <cstdint>
#include <string>

#include "vwt/lang/Boolean.h"

namespace {

const int CHECKED = 0x4;
const int UPLOAD = 0x40;
const int SUBMIT_BUTTON = 0x80;

const String* stringAt(const RenderItem* item, int list, int i) {
  RenderItem::ValueList* values = item->getList(list);
  if (!values || i < 0 || i >= values->size()) return nullptr;
  Object* o = values->elementAt(i);
  return o ? dynamic_cast<String*>(o) : nullptr;
}

bool flagAt(const RenderItem* item, int i) {
  RenderItem::ValueList* flags = item->getList(2);
  if (!flags || i < 0 || i >= flags->size()) return false;
  Object* o = flags->elementAt(i);
  Boolean* b = o ? dynamic_cast<Boolean*>(o) : nullptr;
  return b && b->boolValue();
}

bool keepsItself(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-' ||
         c == '_' || c == '*';
}

void appendByte(std::u16string& out, unsigned b) {
  static const char16_t HEX[] = u"0123456789ABCDEF";
  out += u'%';
  out += HEX[(b >> 4) & 0xF];
  out += HEX[b & 0xF];
}

void appendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < 0x80) {
    appendByte(out, cp);
  } else if (cp < 0x800) {
    appendByte(out, 0xC0 | (cp >> 6));
    appendByte(out, 0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    appendByte(out, 0xE0 | (cp >> 12));
    appendByte(out, 0x80 | ((cp >> 6) & 0x3F));
    appendByte(out, 0x80 | (cp & 0x3F));
  } else {
    appendByte(out, 0xF0 | (cp >> 18));
    appendByte(out, 0x80 | ((cp >> 12) & 0x3F));
    appendByte(out, 0x80 | ((cp >> 6) & 0x3F));
    appendByte(out, 0x80 | (cp & 0x3F));
  }
}

// As URLEncoder does, but always in UTF-8 whatever the system code page: the service reads forms so.
// Line breaks are sent as CR LF, as forms send them; a lone surrogate becomes U+FFFD.
void appendEncoded(std::u16string& out, const String& s) {
  int n = s.length();
  for (int i = 0; i < n; ++i) {
    char16_t c = s.charAt(i);
    if (keepsItself(c)) {
      out += c;
    } else if (c == ' ') {
      out += u'+';
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < n && s.charAt(i + 1) == '\n') ++i;
      out += u"%0D%0A";
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s.charAt(i + 1) >= 0xDC00 &&
               s.charAt(i + 1) <= 0xDFFF) {
      uint32_t cp = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (s.charAt(i + 1) - 0xDC00);
      appendCodePoint(out, cp);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      appendCodePoint(out, 0xFFFD);
    } else {
      appendCodePoint(out, c);
    }
  }
}

class Fields {
 public:
  // A field without a name is not sent, as browsers do.
  void add(const String& name, const String& value) {
    if (name.length() == 0) return;
    if (!out_.empty()) out_ += u'&';
    appendEncoded(out_, name);
    out_ += u'=';
    appendEncoded(out_, value);
  }
  String text() const { return String(out_.data(), 0, static_cast<int>(out_.size())); }

 private:
  std::u16string out_;
};

void addOptions(Fields& fields, const RenderItem* item) {
  RenderItem::ValueList* labels = item->getList(0);
  int count = labels ? labels->size() : 0;
  bool any = false;
  for (int i = 0; i < count; ++i) {
    if (!flagAt(item, i)) continue;
    const String* value = stringAt(item, 1, i);
    if (!value) value = stringAt(item, 0, i);
    if (!value) continue;
    fields.add(item->name, *value);
    any = true;
  }
  // A drop-down list always has a choice: the one it shows.
  if (!any && item->type == RenderItem::SELECT) {
    const String* value = stringAt(item, 1, item->value2);
    if (!value) value = stringAt(item, 0, item->value2);
    if (value) fields.add(item->name, *value);
  }
}

}  // namespace

bool FormSubmission::contains(RenderItem* form, RenderItem* control) {
  if (!form || !control || form->type != RenderItem::FORM || !form->refs) return false;
  for (int i = 0; i < form->refs->size(); ++i) {
    RenderItem* entry = RenderItem::refOf(form, i);
    if (entry && (entry == control || RenderItem::refOf(entry, 0) == control)) return true;
  }
  return false;
}

String FormSubmission::fields(RenderItem* form, RenderItem* pressedButton, int pointX, int pointY) {
  Fields fields;
  if (!form || form->type != RenderItem::FORM || !form->refs) return String();
  for (int i = 0; i < form->refs->size(); ++i) {
    RenderItem* control = RenderItem::refOf(form, i);
    if (!control || control->type != RenderItem::CONTROL) continue;
    RenderItem* item = RenderItem::refOf(control, 0);
    if (!item) continue;
    switch (item->type) {
      case RenderItem::TEXT_FIELD:
      case RenderItem::PASSWORD_FIELD:
      case RenderItem::TEXT_AREA:
      case RenderItem::HIDDEN_FIELD:
        fields.add(item->name, item->text);
        break;
      case RenderItem::CHECKBOX:
      case RenderItem::RADIO:
        if (item->flags & CHECKED) fields.add(item->name, item->text);
        break;
      case RenderItem::SELECT:
      case RenderItem::LIST:
        addOptions(fields, item);
        break;
      case RenderItem::BUTTON:
        if (item == pressedButton && (item->flags & SUBMIT_BUTTON) && !(item->flags & UPLOAD))
          fields.add(item->name, item->text);
        break;
      case RenderItem::IMAGE_BUTTON:
        if (item == pressedButton) {
          String prefix = item->name.length() > 0 ? item->name + u"." : String();
          // The point's names stand alone when the button has no name.
          fields.add(prefix + u"x", String(pointX));
          fields.add(prefix + u"y", String(pointY));
        }
        break;
      default:
        break;
    }
  }
  return fields.text();
}

String FormSubmission::action(RenderItem* form) {
  return form && form->type == RenderItem::FORM ? form->text : String();
}
