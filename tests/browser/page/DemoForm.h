#pragma once
// The demonstration site's form of every control, as the service sends it,
// and a second form beside it.

#include "tests/browser/page/FormPageBuilder.h"

struct DemoForm {
  explicit DemoForm(FormPageBuilder& b) {
    form = b.form(u"http://127.0.0.1/demo/form-result.html"_s);
    hidden = b.field(RenderItem::HIDDEN_FIELD, u"session"_s, u"demo-42"_s, form);
    name = b.field(RenderItem::TEXT_FIELD, u"name"_s, u"Ann"_s, form);
    secret = b.field(RenderItem::PASSWORD_FIELD, u"secret"_s, String(), form);
    news = b.field(RenderItem::CHECKBOX, u"news"_s, u"yes"_s, form, CHECKED);
    offers = b.field(RenderItem::CHECKBOX, u"offers"_s, u"yes"_s, form);
    small = b.field(RenderItem::RADIO, u"size"_s, u"s"_s, form);
    medium = b.field(RenderItem::RADIO, u"size"_s, u"m"_s, form, CHECKED);
    large = b.field(RenderItem::RADIO, u"size"_s, u"l"_s, form);
    colour = b.options(RenderItem::SELECT, u"colour"_s, {u"Red", u"Green", u"Blue"}, {u"r", u"g", u"b"},
                       {false, true, false}, form);
    toppings =
        b.options(RenderItem::LIST, u"toppings"_s, {u"Cheese", u"Olives", u"Peppers", u"Onions"},
                  {u"Cheese", u"Olives", u"Peppers", u"Onions"}, {false, true, false, true}, form, MULTIPLE);
    message = b.field(RenderItem::TEXT_AREA, u"message"_s, u"Hello\nfrom the handset"_s, form);
    photo = b.field(RenderItem::BUTTON, u"photo"_s, u"Browse"_s, form, UPLOAD);
    send = b.field(RenderItem::BUTTON, String(), u"Send"_s, form, SUBMIT);
    reset = b.field(RenderItem::BUTTON, String(), u"Reset"_s, form, RESET);
    go = b.field(RenderItem::BUTTON, u"go"_s, u"Go"_s, form, SUBMIT);
    pick = b.field(RenderItem::IMAGE_BUTTON, u"pick"_s, u"Pick"_s, form);
    search = b.form(u"http://127.0.0.1/demo/search.html"_s);
    otherSize = b.field(RenderItem::RADIO, u"size"_s, u"x"_s, search, CHECKED);
    q = b.field(RenderItem::TEXT_FIELD, u"q"_s, String(), search);
  }

  // The CONTROL over item.
  static RenderItem* controlOf(FormPageBuilder& b, RenderItem* item) {
    for (int i = 0; i < b.page.structure->size(); ++i) {
      RenderItem* s = b.page.structure->elementAt(i);
      if (s && s->type == RenderItem::CONTROL && s->refs && s->refs->size() > 0 &&
          s->refs->elementAt(0) == item)
        return s;
    }
    return nullptr;
  }

  static constexpr int CHECKED = 0x4, MULTIPLE = 0x8, UPLOAD = 0x40, SUBMIT = 0x80, RESET = 0x100;

  RenderItem *form, *hidden, *name, *secret, *news, *offers, *small, *medium, *large, *colour, *toppings,
      *message, *photo, *send, *reset, *go, *pick, *search, *otherSize, *q;
};
