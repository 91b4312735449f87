#include "browser/page/BrowsingWindows.h"

#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"

namespace {
const char16_t RECORD_TYPE[] = u"SI";
}

BrowsingWindows::BrowsingWindows(int64_t now) : current_(0) {
  windows_.emplace_back(new Window());
  windows_.back()->created = now;
}

void BrowsingWindows::setCurrent(int index) {
  if (index >= 0 && index < getCount()) current_ = index;
}

int BrowsingWindows::getHistorySize(int w) const { return at(w).history.size(); }

int BrowsingWindows::getPosition(int w) const { return at(w).position; }

int64_t BrowsingWindows::getCreated(int w) const { return at(w).created; }

SharedPtr<Page> BrowsingWindows::getPage(int i, int w) const {
  const Window& window = at(w);
  if (i < 0 || i >= window.history.size()) return SharedPtr<Page>();
  return *window.history.elementAt(i);
}

SharedPtr<Page> BrowsingWindows::getCurrentEntry() const { return getPage(at(-1).position); }

void BrowsingWindows::setPosition(int position) {
  Window& window = *windows_[current_];
  if (position >= -1 && position < window.history.size()) window.position = position;
}

void BrowsingWindows::enterPage(const SharedPtr<Page>& page, bool newEntry) {
  Window& window = *windows_[current_];
  if (!newEntry && window.position >= 0) {
    *window.history.elementAt(window.position) = page;
    return;
  }
  window.history.setSize(window.position + 1);
  window.history.addElement(new SharedPtr<Page>(page));
  window.position = window.history.size() - 1;
}

int BrowsingWindows::openWindow(int64_t now) {
  std::unique_ptr<Window> fresh(new Window());
  fresh->created = now;
  if (getCount() < MAX_WINDOWS) {
    windows_.push_back(std::move(fresh));
    current_ = getCount() - 1;
    return current_;
  }
  int oldest = 0;
  for (int w = 1; w < getCount(); ++w)
    if (windows_[w]->created < windows_[oldest]->created) oldest = w;
  windows_[oldest] = std::move(fresh);
  current_ = oldest;
  return current_;
}

bool BrowsingWindows::closeWindow(int w) {
  if (getCount() <= 1 || w < 0 || w >= getCount()) return false;
  windows_.erase(windows_.begin() + w);
  if (w < current_) {
    --current_;
    return false;
  }
  if (w != current_) return false;
  if (current_ >= getCount()) current_ = getCount() - 1;
  return true;
}

std::vector<SharedPtr<Page>> BrowsingWindows::pagesByEviction() const {
  std::vector<SharedPtr<Page>> out;
  for (int w = 0; w < getCount(); ++w)
    if (w != current_)
      for (int i = 0; i < windows_[w]->history.size(); ++i) out.push_back(*windows_[w]->history.elementAt(i));
  const Window& mine = *windows_[current_];
  for (int i = 0; i < mine.history.size(); ++i) out.push_back(*mine.history.elementAt(i));
  return out;
}

void BrowsingWindows::save(RecordStore& store) const {
  Vector<Object*> rows;
  rows.addElement(new String());
  rows.addElement(new Integer(current_));
  for (const auto& window : windows_) {
    SharedPtr<Page> page =
        window->position >= 0 ? *window->history.elementAt(window->position) : SharedPtr<Page>();
    rows.addElement(new String(page ? page->getUrl() : String(u""_s)));
    // Seconds fit 32 bits until 2038, as the record's integers do.
    rows.addElement(new Integer(static_cast<int>(window->created)));
  }
  store.writeRecord(RecordStore::WINDOWS, rows, String(RECORD_TYPE, false));
}

bool BrowsingWindows::restore(RecordStore& store) {
  if (store.readValue(RecordStore::WINDOWS) <= 0) return false;
  AutoPtr<Vector<Object*>> rows(store.readRecord(RecordStore::WINDOWS, String(RECORD_TYPE, false)));
  if (!rows || rows->size() < 4 || rows->size() % 2 != 0) return false;
  Integer* current = dynamic_cast<Integer*>(rows->elementAt(1));
  int count = rows->size() / 2 - 1;
  if (!current || count > MAX_WINDOWS) return false;
  std::vector<std::unique_ptr<Window>> restored;
  for (int w = 0; w < count; ++w) {
    String* url = dynamic_cast<String*>(rows->elementAt(2 + 2 * w));
    Integer* created = dynamic_cast<Integer*>(rows->elementAt(3 + 2 * w));
    if (!url || !created) return false;
    std::unique_ptr<Window> window(new Window());
    window->created = created->intValue();
    if (!url->isNull() && url->length() > 0) {
      Page* page = new Page();
      page->url = *url;
      window->history.addElement(new SharedPtr<Page>(page));
      window->position = 0;
    }
    restored.push_back(std::move(window));
  }
  windows_.swap(restored);
  int c = current->intValue();
  current_ = c >= 0 && c < count ? c : 0;
  return true;
}
