#include "browser/page/PageDataParser.h"

#include <climits>
#include <cstdint>

#include "vwt/io/DataInputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"

namespace {

const int PROGRESS_TEXT = 11011;
const int DAMAGED_PAGE_DATA = 11100;

int clampToInt(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

Exception damaged(const char* what, int value) {
  return Exception((Resource::getString(DAMAGED_PAGE_DATA) + String(what)) + (u" "_s + value));
}

}  // namespace

PageDataParser::PageDataParser(PageParserHost* host, Page* page, DataInputStream* in)
    : host_(host), page_(page), in_(in) {}

int PageDataParser::readCount(int max, const char* what) {
  int n = in_->readInt();
  if (n < 0 || n > max) throw damaged(what, n);
  return n;
}

void PageDataParser::readRectangle(RenderItem* item) {
  item->x = in_->readInt();
  item->y = in_->readInt();
  item->width = in_->readInt();
  item->height = in_->readInt();
}

void PageDataParser::readImageFields(RenderItem* item) {
  item->text = in_->readUTF();
  item->imageIndex = in_->readInt();
  item->param1 = in_->readInt();
  item->param2 = in_->readInt();
}

void PageDataParser::readNameAndFlags(RenderItem* item) {
  item->name = in_->readUTF();
  item->flags = in_->readInt();
}

void PageDataParser::readOptionLists(RenderItem* item) {
  for (int block = 0; block < 3; ++block) {
    int n = readCount(MAX_OPTIONS, "option count");
    // Sized for what the stream can still hold, not what the count claims.
    RenderItem::ValueList* list = new RenderItem::ValueList(n < 256 ? n : 256, true);
    item->setList(block, list);  // owned by the item before anything can throw
    for (int i = 0; i < n; ++i) {
      if (block < 2)
        list->addElement(new String(in_->readUTF()));
      else
        list->addElement(new Boolean(in_->readBoolean()));
    }
  }
}

void PageDataParser::readBorders(RenderItem* item) {
  if ((item->flags & 0xF) == 0) return;
  // Twelve entries, three per side (colour, width, style), empty where a
  // side has no border. Everything is read before anything is boxed, so a
  // short stream leaves nothing half made.
  int values[12];
  for (int side = 0; side < 4; ++side) {
    if (!(item->flags & (1 << side))) continue;
    values[3 * side] = in_->readInt();
    values[3 * side + 1] = in_->readShort();
    values[3 * side + 2] = in_->readByte();
  }
  Object* entries[12] = {};
  for (int side = 0; side < 4; ++side) {
    if (!(item->flags & (1 << side))) continue;
    for (int k = 3 * side; k < 3 * side + 3; ++k) entries[k] = new Integer(values[k]);
  }
  RenderItem::ValueList* list = new RenderItem::ValueList(12, true);
  list->addElements(entries, 12);
  item->setList(0, list);
}

void PageDataParser::readMainListRefs(RenderItem* item, bool boxMissing) {
  int k = readCount(MAX_REFERENCES, "reference count");
  for (int i = 0; i < k; ++i) {
    int index = in_->readInt();
    if (index >= 0 && index < page_->mainCount())
      item->refs->addElement(page_->items->elementAt(index));
    else if (boxMissing)
      item->addIndexRef(index);
    else
      item->refs->addElement(nullptr);
  }
}

void PageDataParser::readFormRefs(RenderItem* item) {
  int k = readCount(MAX_REFERENCES, "reference count");
  int m = page_->mainCount();
  for (int i = 0; i < k; ++i) {
    int index = in_->readInt();
    int64_t position = static_cast<int64_t>(index) - m;
    if (position >= 0 && position < page_->structureCount())
      item->refs->addElement(page_->structure->elementAt(static_cast<int>(position)));
    else
      item->addIndexRef(index);  // not read yet: resolved after the list
  }
}

void PageDataParser::parseItem(RenderItem* item) {
  int type = in_->readByte();
  item->type = type;
  if ((type >= 3 && type <= 22) || type == 29) readRectangle(item);
  // Most items never get a reference; a link usually one.
  if (type != RenderItem::TEXT && !item->refs) item->refs = new Vector<Object*>(1, false);

  switch (type) {
    case RenderItem::TEXT:
      item->color = in_->readInt();
      item->text = in_->readUTF();
      item->value1 = in_->readInt();
      item->flags = in_->readInt();
      return;
    case RenderItem::IMAGE:
    case RenderItem::IMAGE_ALT:
      readImageFields(item);
      readNameAndFlags(item);
      item->value1 = in_->readInt();
      item->value2 = in_->readInt();
      return;
    case RenderItem::PLACEHOLDER:
      item->text = in_->readUTF();
      return;
    case RenderItem::LINE:
      item->color = in_->readInt();
      item->flags = in_->readInt();
      return;
    case RenderItem::RECT:
    case RenderItem::FILLED_RECT:
      item->color = in_->readInt();
      return;
    case RenderItem::TILED_IMAGE:
      readImageFields(item);
      return;
    case RenderItem::BUTTON:
      item->color = in_->readInt();
      item->text = in_->readUTF();
      readNameAndFlags(item);
      return;
    case RenderItem::TEXT_FIELD:
    case RenderItem::PASSWORD_FIELD:
      item->color = in_->readInt();
      item->color2 = in_->readInt();
      item->text = in_->readUTF();
      readNameAndFlags(item);
      return;
    case RenderItem::CHECKBOX:
    case RenderItem::RADIO:
      item->text = in_->readUTF();
      readNameAndFlags(item);
      return;
    case RenderItem::SELECT:
    case RenderItem::LIST:
      item->color = in_->readInt();
      item->color2 = in_->readInt();
      item->value2 = in_->readInt();
      readOptionLists(item);
      readNameAndFlags(item);
      item->value1 = item->value2;
      return;
    case RenderItem::TEXT_AREA:
      item->color = in_->readInt();
      item->color2 = in_->readInt();
      item->text = in_->readUTF();
      item->value1 = in_->readInt();
      readNameAndFlags(item);
      return;
    case RenderItem::IMAGE_BUTTON:
      readImageFields(item);
      readNameAndFlags(item);
      return;
    case RenderItem::HIDDEN_FIELD:
      item->name = in_->readUTF();
      item->text = in_->readUTF();
      item->flags = in_->readInt();
      return;
    case RenderItem::ANCHOR:
      item->x = in_->readInt();
      item->y = in_->readInt();
      readNameAndFlags(item);
      return;
    case RenderItem::BOX:
      item->color2 = in_->readInt();
      item->flags = in_->readInt();
      if (item->flags & 0x40) item->color = in_->readInt();
      readBorders(item);
      if (item->flags & 0x10) {
        item->imageIndex = in_->readInt();
        item->param1 = in_->readInt();
        item->param2 = in_->readInt();
      }
      return;
    case RenderItem::OBJECT:
      item->x = in_->readInt();
      item->y = in_->readInt();
      item->width = in_->readInt();
      item->height = in_->readInt();
      item->name = in_->readUTF();
      return;
    case RenderItem::LINK:
      item->text = in_->readUTF();
      readMainListRefs(item, false);
      item->flags = in_->readInt();
      return;
    case RenderItem::CONTROL:
      readMainListRefs(item, true);
      return;
    case RenderItem::FORM: {
      item->text = in_->readUTF();
      int m = in_->readShort();
      int e = in_->readShort();
      in_->readUTF();
      int flags = 0;
      if (m & 0x2) flags |= 0x1;
      if (m & 0x4) flags |= 0x2;
      item->flags = flags | static_cast<int>(static_cast<unsigned int>(e) << 2);
      readFormRefs(item);
      return;
    }
    case RenderItem::AREA: {
      item->color = in_->readInt();
      item->x = in_->readInt();
      item->y = in_->readInt();
      item->width = in_->readInt();
      item->height = in_->readInt();
      item->text = in_->readUTF();
      item->name = in_->readUTF();
      int index = in_->readInt();
      item->refs->addElement(index >= 0 && index < page_->mainCount() ? page_->items->elementAt(index)
                                                                      : nullptr);
      return;
    }
    default:
      // No fields of its own: log it, keep it, go on with the next record.
      Logger::getLogger()->log(Logger::FATAL, u"Unknown RI type="_s + type);
      return;
  }
}

void PageDataParser::fixUpReferences() {
  int m = page_->mainCount();
  for (int i = 0; i < page_->structureCount(); ++i) {
    RenderItem* item = page_->structure->elementAt(i);
    if ((item->type != RenderItem::CONTROL && item->type != RenderItem::FORM) || !item->refs) continue;
    for (int k = 1; k < item->refs->size(); ++k) {
      if (!item->isIndexRef(k)) continue;
      int index = static_cast<Integer*>(item->refs->elementAt(k))->intValue();
      int64_t position = static_cast<int64_t>(index) - m;
      if (position >= 0 && position < page_->structureCount())
        item->refs->setElementAt(page_->structure->elementAt(static_cast<int>(position)), k);
    }
  }
}

int PageDataParser::parsePage(bool fullLoad) {
  page_->pageId = in_->readInt();
  page_->pageNo = in_->readShort();
  page_->pageFlags = in_->readShort();
  page_->url = in_->readUTF();
  page_->title = in_->readUTF();
  page_->backgroundColor = in_->readInt();
  page_->width = in_->readInt();
  page_->height = in_->readInt();
  int64_t extentWidth = page_->width, extentHeight = page_->height;
  host_->setPageExtent(page_->width, page_->height);

  page_->replaceItemLists();
  if (fullLoad) {
    page_->pointerX = host_->getViewWidth() / 2;
    page_->pointerY = host_->getViewHeight() / 2;
  }
  bool reflow = host_->isReflowMode();
  if (reflow) host_->beginReflowLayout(page_);

  // The new lists are this thread's until the page is handed over: holding
  // their locks throughout makes each addition a re-entry.
  Lock itemsHeld(page_->items->getLock());
  Lock structureHeld(page_->structure->getLock());
  int m = readCount(MAX_ITEMS, "item count");
  // Room for the announced items up front, within what a short stream could
  // make us waste.
  page_->items->ensureCapacity(m < 65536 ? m : 65536);
  const String progress = Resource::getString(PROGRESS_TEXT);
  for (int i = 0; i < m; ++i) {
    if (fullLoad && host_->isCancelled()) return 0;
    AutoPtr<RenderItem> item(new RenderItem());
    item->owner = host_;
    parseItem(item.get());
    RenderItem* added = item.release();
    page_->items->addElement(added);
    if (reflow) host_->addReflowItem(added);
    if (static_cast<int64_t>(added->x) + added->width > extentWidth)
      extentWidth = static_cast<int64_t>(added->x) + added->width;
    if (static_cast<int64_t>(added->y) + added->height > extentHeight)
      extentHeight = static_cast<int64_t>(added->y) + added->height;
    if (i % 100 == 0) {
      host_->setStatusText(((((progress + static_cast<int>(100LL * (i + 1) / m)) + u"% ") + i) + u'/') + m);
      host_->repaint();
    }
  }
  host_->setStatusText((((progress + u"100% ") + m) + u'/') + m);

  page_->width = clampToInt(extentWidth + 3);
  page_->height = clampToInt(extentHeight + 7 + host_->getInterfaceLineHeight());
  host_->setPageExtent(page_->width, page_->height);

  int s = readCount(MAX_ITEMS, "structure count");
  for (int i = 0; i < s; ++i) {
    if (fullLoad && host_->isCancelled()) return 0;
    AutoPtr<RenderItem> item(new RenderItem());
    item->owner = host_;
    parseItem(item.get());
    page_->structure->addElement(item.release());
  }
  fixUpReferences();
  if (reflow) host_->endReflowLayout();

  int frames = in_->readShort();
  if (frames < 0) throw damaged("frame count", frames);
  page_->frames = new Vector<Page::FrameInfo*>();
  for (int i = 0; i < frames; ++i) {
    String name = in_->readUTF();
    int value = in_->readInt();
    page_->frames->addElement(new Page::FrameInfo(name, value));
  }
  return 1;
}
