#pragma once

#include "browser/page/SharedPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

class PageParserHost;

// One record of a laid-out page: a drawable item (text run, image, box,
// form control) or a structural one (link, control, form, map area). A plain
// record: the parser, renderer and canvas read and write the fields.
class RenderItem : public Object {
 public:
  enum Type {
    TEXT = 3,
    RECTANGLE_ONLY = 4,
    IMAGE = 5,
    IMAGE_ALT = 6,
    PLACEHOLDER = 7,
    LINE = 8,
    RECT = 9,
    FILLED_RECT = 10,
    TILED_IMAGE = 11,
    BUTTON = 12,
    TEXT_FIELD = 13,
    PASSWORD_FIELD = 14,
    CHECKBOX = 15,
    RADIO = 16,
    SELECT = 17,
    LIST = 18,
    TEXT_AREA = 19,
    IMAGE_BUTTON = 22,
    HIDDEN_FIELD = 24,
    ANCHOR = 25,
    BOX = 29,
    SCROLL_BAR = 30,
    OBJECT = 32,
    LINK = 100,
    CONTROL = 101,
    FORM = 102,
    AREA = 103,
  };
  // Any item with this flag uses the interface font and palette.
  static constexpr int INTERFACE_FONT = 0x2000000;

  typedef Vector<Object*> ValueList;
  typedef Vector<ValueList*> ValueLists;

  RenderItem();
  ~RenderItem() override;
  RenderItem(const RenderItem&) = delete;
  RenderItem& operator=(const RenderItem&) = delete;

  // Creates the value lists when missing and appends empty ones up to n.
  void ensureLists(int n);
  ValueList* getList(int i) const;
  // Replaces list i (created as needed) by a list of its own.
  void setList(int i, ValueList* list);
  void dropLists() { lists = SharedPtr<ValueLists>(); }
  // Replaces the auxiliary child, destroying the old one.
  void setChild(RenderItem* item);
  // Appends a boxed item index to refs, kept until the item is destroyed.
  void addIndexRef(int index);
  // True when reference i is a boxed index (still unresolved). Only while
  // the referenced items are alive, as every reference is.
  bool isIndexRef(int i) const;
  // Reference i of item as an item: null for a null item, an index outside its refs, a gap or a
  // boxed index.
  static RenderItem* refOf(const RenderItem* item, int i);
  static int refCountOf(const RenderItem* item) { return item && item->refs ? item->refs->size() : 0; }

  PageParserHost* owner;  // not owned
  int type;
  int x, y, width, height;
  int color, color2;
  String text;
  int imageIndex, param1, param2;
  // An open SELECT list's place for hit-testing: top in the high 16 bits, height in the low.
  int param3;
  String name;
  int scrollState;
  int flags;
  // Other items or boxed indexes for types 100-103; never owns them.
  Vector<Object*>* refs;
  SharedPtr<ValueLists> lists;
  int value1, value2;
  RenderItem* source;  // not owned
  RenderItem* child;   // owned

 private:
  // The boxed indexes refs points at. Kept apart so that destruction never
  // has to tell them from items that may be gone already.
  Vector<Object*>* boxedIndexes_;
};
