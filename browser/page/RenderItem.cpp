#include "browser/page/RenderItem.h"

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Lock.h"

RenderItem::RenderItem()
    : owner(nullptr),
      type(0),
      x(0),
      y(0),
      width(0),
      height(0),
      color(0),
      color2(0),
      imageIndex(0),
      param1(0),
      param2(0),
      param3(0),
      scrollState(0),
      flags(0),
      refs(nullptr),
      value1(0),
      value2(0),
      source(nullptr),
      child(nullptr),
      boxedIndexes_(nullptr) {}

RenderItem::~RenderItem() {
  delete refs;
  delete boxedIndexes_;
  delete child;
}

void RenderItem::addIndexRef(int index) {
  if (!refs) refs = new Vector<Object*>(false);
  if (!boxedIndexes_) boxedIndexes_ = new Vector<Object*>(true);
  Integer* boxed = new Integer(index);
  boxedIndexes_->addElement(boxed);
  refs->addElement(boxed);
}

RenderItem* RenderItem::refOf(const RenderItem* item, int i) {
  if (!item || !item->refs || i < 0 || i >= item->refs->size()) return nullptr;
  Object* o = item->refs->elementAt(i);
  return o ? dynamic_cast<RenderItem*>(o) : nullptr;
}

bool RenderItem::isIndexRef(int i) const {
  if (!refs || i < 0 || i >= refs->size()) return false;
  Object* o = refs->elementAt(i);
  return o && dynamic_cast<Integer*>(o) != nullptr;
}

namespace {
// Items hold one to three lists (borders; option labels, values, flags).
const int LISTS_CAPACITY = 4;
}  // namespace

void RenderItem::ensureLists(int n) {
  if (!lists) lists = new ValueLists(LISTS_CAPACITY, true);  // owns the lists, each list its values
  while (lists->size() < n) lists->addElement(new ValueList(true));
}

RenderItem::ValueList* RenderItem::getList(int i) const {
  if (!lists || i < 0 || i >= lists->size()) return nullptr;
  return lists->elementAt(i);
}

void RenderItem::setList(int i, ValueList* list) {
  AutoPtr<ValueList> owned(list);
  if (!lists) lists = new ValueLists(LISTS_CAPACITY, true);
  Lock held(lists->getLock());
  ensureLists(i);
  if (lists->size() == i) {
    lists->addElement(owned.release());
    return;
  }
  delete lists->elementAt(i);
  lists->setElementAt(owned.release(), i);
}

void RenderItem::setChild(RenderItem* item) {
  if (item == child) return;
  delete child;
  child = item;
}
