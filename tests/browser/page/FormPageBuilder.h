#pragma once
// Pages of structure items for the hit-test and form tests: main-list items,
// links, controls and forms linked as the page parser links them.

#include <initializer_list>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"

class FormPageBuilder {
 public:
  FormPageBuilder() { page.replaceItemLists(); }

  // A main-list item with its rectangle; refs made empty as the parser makes them.
  RenderItem* item(int type, int x, int y, int w, int h) {
    RenderItem* it = new RenderItem();
    it->type = type;
    it->x = x;
    it->y = y;
    it->width = w;
    it->height = h;
    it->refs = new Vector<Object*>(1, false);
    page.items->addElement(it);
    return it;
  }

  // A structure item of type with these references (null entries stay null).
  RenderItem* structure(int type, std::initializer_list<RenderItem*> refs) {
    RenderItem* s = new RenderItem();
    s->type = type;
    s->refs = new Vector<Object*>(1, false);
    for (RenderItem* r : refs) s->refs->addElement(r);
    page.structure->addElement(s);
    return s;
  }

  RenderItem* link(std::initializer_list<RenderItem*> parts) { return structure(RenderItem::LINK, parts); }

  // A FORM with its action; controls join it with control().
  RenderItem* form(const String& action) {
    RenderItem* f = structure(RenderItem::FORM, {});
    f->text = action;
    return f;
  }

  // A CONTROL over item, in form (null: none) and listed among the form's references.
  RenderItem* control(RenderItem* item, RenderItem* form) {
    RenderItem* c =
        form ? structure(RenderItem::CONTROL, {item, form}) : structure(RenderItem::CONTROL, {item});
    if (form) form->refs->addElement(c);
    return c;
  }

  // A control item named name with text, flags, and a CONTROL in form over it.
  RenderItem* field(int type, const String& name, const String& text, RenderItem* form, int flags = 0) {
    RenderItem* it = item(type, 10, 10 + 20 * page.items->size(), 100, 16);
    it->name = name;
    it->text = text;
    it->flags = flags;
    control(it, form);
    return it;
  }

  // A SELECT or LIST with option labels, values (empty: none sent) and selected rows.
  RenderItem* options(int type, const String& name, std::initializer_list<const char16_t*> labels,
                      std::initializer_list<const char16_t*> values, std::initializer_list<bool> selected,
                      RenderItem* form, int flags = 0) {
    RenderItem* it = field(type, name, String(), form, flags);
    it->ensureLists(3);
    RenderItem::ValueList* l = new RenderItem::ValueList(true);
    for (const char16_t* s : labels) l->addElement(new String(s, false));
    RenderItem::ValueList* v = new RenderItem::ValueList(true);
    for (const char16_t* s : values) v->addElement(new String(s, false));
    RenderItem::ValueList* f = new RenderItem::ValueList(true);
    int row = 0, first = -1;
    for (bool b : selected) {
      f->addElement(new Boolean(b));
      if (b && first < 0) first = row;
      ++row;
    }
    it->setList(0, l);
    it->setList(1, v);
    it->setList(2, f);
    it->value2 = first < 0 ? 0 : first;
    it->value1 = it->value2;
    return it;
  }

  // Puts value in place of entry i of the item's value list n (which owns its entries).
  static void replaceValue(RenderItem* item, int n, int i, Object* value) {
    RenderItem::ValueList* list = item->getList(n);
    delete list->elementAt(i);
    list->setElementAt(value, i);
  }

  // An item the reflow layout would derive from parent at (x, y, w, h), linked both ways.
  RenderItem* derived(RenderItem* parent, int x, int y, int w, int h) {
    RenderItem* d = new RenderItem();
    d->type = parent->type;
    d->x = x;
    d->y = y;
    d->width = w;
    d->height = h;
    d->refs = new Vector<Object*>(1, false);
    d->refs->addElement(parent);
    d->source =
        parent->type >= RenderItem::BUTTON && parent->type <= RenderItem::TEXT_AREA ? parent : nullptr;
    parent->refs->addElement(d);
    derivedItems.addElement(d);
    return d;
  }

  Page page;
  Vector<RenderItem*> derivedItems;  // owns what derived() made, as a layout would
};
