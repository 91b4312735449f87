#include "browser/menu/PageText.h"

#include "browser/page/Page.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/StringBuffer.h"

namespace {

bool isText(const RenderItem* item) {
  return item && item->type == RenderItem::TEXT && item->text.length() > 0;
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

}  // namespace

std::vector<RenderItem*> PageText::textItems(const Page* page, const ReflowLayout* reflow) {
  std::vector<RenderItem*> out;
  if (reflow) {
    const Vector<ReflowLayout::Line*>& lines = reflow->lines();
    for (int i = 0; i < lines.size(); ++i) {
      ReflowLayout::Line* line = lines.elementAt(i);
      for (int k = 0; line && k < line->size(); ++k)
        if (isText(line->elementAt(k))) out.push_back(line->elementAt(k));
    }
    return out;
  }
  if (!page || !page->items) return out;
  // The page's own order is the document's: columns stay whole.
  for (int i = 0; i < page->items->size(); ++i)
    if (isText(page->items->elementAt(i))) out.push_back(page->items->elementAt(i));
  return out;
}

bool PageText::startsLine(const RenderItem* a, const RenderItem* b) {
  // Below the middle of the run before it, above it, or back to its left.
  int64_t aTop = a->y, bTop = b->y;
  if (2 * bTop >= 2 * aTop + a->height) return true;
  if (bTop + b->height <= aTop) return true;
  return b->x < a->x;
}

String PageText::of(const Page* page, const ReflowLayout* reflow) {
  if (reflow) return reflow->text();
  std::vector<RenderItem*> items = textItems(page, nullptr);
  StringBuffer out;
  for (size_t i = 0; i < items.size(); ++i) {
    const RenderItem* item = items[i];
    if (i > 0) {
      const RenderItem* before = items[i - 1];
      if (startsLine(before, item)) {
        out.append(u'\n');
      } else if (int64_t{item->x} - (int64_t{before->x} + before->width) >= ReflowLayout::WORD_GAP &&
                 !isSpace(before->text.charAt(before->text.length() - 1)) && !isSpace(item->text.charAt(0))) {
        // Runs apart on one row had a space between them.
        out.append(u' ');
      }
    }
    out.append(item->text);
  }
  if (!items.empty()) out.append(u'\n');
  return out.toString();
}
