#include "browser/shell/SessionCore.h"

#include <algorithm>
#include <thread>

#include "browser/page/ReflowLayout.h"
#include "browser/page/VisitedList.h"
#include "browser/service/Background.h"
#include "browser/service/CipherManager.h"
#include "browser/service/PageResponseDecoder.h"
#include "browser/shell/SessionDialogs.h"
#include "browser/shell/SessionView.h"
#include "browser/store/BackupPicture.h"
#include "browser/store/UserDataPackage.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/Runtime.h"
#include "vwt/lang/System.h"
#include "vwt/net/DialupManager.h"
#include "vwt/net/URL.h"
#include "vwt/ui/MediaImage.h"

namespace {
String property(const String& key, const String& def) {
  try {
    String v = System::getProperty(key);
    return v.isNull() ? def : v;
  } catch (const Exception&) {
    return def;
  }
}

const char WIDTH_ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// The text before the last '/', the form of the credential keys.
String directoryOf(const String& address) {
  int slash = address.lastIndexOf(u'/');
  return slash < 0 ? address : address.substring(0, slash);
}

// url made absolute against base: a scheme of its own wins, "/x" takes
// base's host, anything else goes beside base's last '/'.
String absoluteUrl(const String& url, const String& base) {
  if (url.indexOf(u"://"_s) > 0 || base.isNull()) return url;
  int hostStart = base.indexOf(u"://"_s);
  if (hostStart < 0) return url;
  if (url.startsWith(u"/")) {
    int pathStart = base.indexOf(u'/', hostStart + 3);
    return (pathStart < 0 ? base : base.substring(0, pathStart)) + url;
  }
  int slash = base.lastIndexOf(u'/');
  if (slash < hostStart + 3) return (base + u"/") + url;
  return base.substring(0, slash + 1) + url;
}

// The layout a parse on this thread is building, and for which session: the
// parser hands items over one by one without saying which page they are for.
struct ParseLayout {
  SessionCore* core = nullptr;
  ReflowLayout* layout = nullptr;  // owned by the page being parsed
};
thread_local ParseLayout parsing;
}  // namespace

SessionCore::SessionCore(StoreErrorReport* report, const String& storage)
    : store_(report, SettingsDefaults(), storage),
      cookies_(&store_),
      bookmarks_(this),
      view_(nullptr),
      dialogs_(nullptr),
      windows_(System::currentTimeMillis() / 1000),
      zoom_(100),
      credentialRetry_(false),
      replayThread_(std::thread::id()),
      offscreenWidth_(240),
      viewHeight_(320),
      transparentColor_(false),
      dialogState_(DIALOG_UNSET),
      lastStatsTime_(System::currentTimeMillis()),
      pageWidth_(0),
      pageHeight_(0),
      repaints_(0),
      connectTimeout_(60000) {
  store_.open();
  store_.loadSettings();
  bookmarks_.load();
  bookmarkCount_ = bookmarks_.nodeCount();
  rebuildUserData();
  cipher_ = new CipherManager(&store_);
  dialup_ = new DialupManager();
  String root = String(u"http://"_s) + property(u"service.host"_s, u"127.0.0.1"_s) + u"/";
  DialupManager::setInternetPath(root.getCString());
}

SessionCore::~SessionCore() {
  cancel();
  worker_ = nullptr;
  dialup_->hangupConnection();
}

String SessionCore::getEndpoint() {
  String host = property(u"service.host"_s, u"127.0.0.1"_s);
  String port = property(u"service.port"_s, u"6111"_s);
  return ((String(u"http://"_s) + host + u":") + port) + u"/br/wm";
}

String SessionCore::getSessionPart() {
  std::lock_guard<std::mutex> g(messageLock_);
  String id = session_.sessionId;
  return id.isNull() ? String() : String(u";jsessionid="_s) + id;
}

bool SessionCore::bringUpConnection() {
  if (dialup_->getStatus() == DialupManager::STATUS_CONNECTED) return true;
  String path = DialupManager::getInternetPath();
  if (!dialup_->isAvailable(path.getCString(), false)) return false;
  if (!dialup_->attemptConnect(path.getCString(), false)) return false;
  for (int waited = 0; waited <= connectTimeout_; waited += 10) {
    unsigned long status = dialup_->getStatus();
    if (status == DialupManager::STATUS_CONNECTED) return true;
    if (status & 0x20) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool SessionCore::runSessionWorker(int kind, int ms) {
  Background* worker = new Background(this, kind);
  startWorker(worker);
  worker->join(ms);
  return worker->getResult() == 0;
}

int SessionCore::startSession(bool firstStart) {
  if (!bringUpConnection()) {
    setStatusText(String());
    return 0;
  }
  cipher_->newIv();
  setStatusText(Resource::getString(firstStart ? 10259 : 10261));
  bool changed = false;
  if (!cipher_->isServerKeyValid()) {
    runSessionWorker(Background::KEY_FETCH, 30000);
    changed = true;
  }
  cancel();
  if (!cipher_->isServerKeyValid()) {
    queueMessage(Resource::getString(10020), Resource::getString(10264));
    return 0;
  }
  cipher_->buildRsa();
  setStatusText(Resource::getString(firstStart ? 10260 : 10262));
  if (cipher_->isSessionKeyValid()) {
    // A stored key the service does not know any more is made anew.
    if (!runSessionWorker(Background::KEY_EXCHANGE, 30000)) {
      cancel();
      cipher_->newSessionKey();
      changed = true;
      runSessionWorker(Background::KEY_EXCHANGE, 30000);
    }
  } else {
    for (int round = 0; round < 3; ++round) {
      cipher_->newSessionKey();
      changed = true;
      if (runSessionWorker(Background::KEY_EXCHANGE, 30000)) break;
      cancel();
    }
  }
  cancel();
  if (cipher_->isSessionKeyValid()) {
    if (changed) cipher_->save();
    setStatusText(String());
    return 1;
  }
  queueMessage(Resource::getString(10020), Resource::getString(10265));
  return 0;
}

void SessionCore::startWorker(Background* worker) {
  cancel();
  worker_ = worker;
  worker->start();
}

void SessionCore::startPageRequest(const String& url, const String& origin, const String& baseUrl,
                                   bool newPage, const String& postData, const String& charset, int options) {
  if (System::currentTimeMillis() - lastStatsTime_ > 43200000LL) {
    options |= Background::OPT_STATS;
    lastStatsTime_ = System::currentTimeMillis();
  }
  startWorker(new Background(this, url, origin, baseUrl, newPage, postData, charset, options));
}

bool SessionCore::waitForWorker(int ms) { return !worker_ || worker_->join(ms); }

void SessionCore::cancel() {
  Background* w = worker_.get();
  if (!w || !w->isAlive()) return;
  setStatusText(Resource::getString(10025));
  w->setCancelled();
  if (!w->join(500)) {
    w->closeConnection();
    w->join(1000);
  }
  setStatusText(String());
}

SharedPtr<Page> SessionCore::getCurrentPage() {
  std::lock_guard<std::mutex> g(pageLock_);
  return current_;
}

int SessionCore::getHistorySize() {
  std::lock_guard<std::mutex> g(pageLock_);
  return windows_.getHistorySize();
}

void SessionCore::onPageLoaded(const SharedPtr<Page>& page, bool newPage) {
  {
    std::lock_guard<std::mutex> g(pageLock_);
    makeCurrentLocked(page);
    // Reflow may have been switched while the page was parsed.
    matchLayoutLocked();
    windows_.enterPage(page, newPage);
  }
  if (view_) view_->pageShown();
}

String SessionCore::getStatusText() {
  std::lock_guard<std::mutex> g(messageLock_);
  return status_;
}

std::vector<SessionCore::Message> SessionCore::getMessages() {
  std::lock_guard<std::mutex> g(messageLock_);
  return messages_;
}

void SessionCore::clearMessages() {
  std::lock_guard<std::mutex> g(messageLock_);
  messages_.clear();
}

void SessionCore::queueMessage(const String& title, const String& text) {
  std::lock_guard<std::mutex> g(messageLock_);
  messages_.push_back(Message{title, text});
}

bool SessionCore::showQueuedMessages() {
  if (!dialogs_) return false;
  bool shown = false;
  for (;;) {
    Message next;
    {
      std::lock_guard<std::mutex> g(messageLock_);
      if (messages_.empty()) return shown;
      next = messages_.front();
      messages_.erase(messages_.begin());
    }
    dialogs_->showInformation(next.title, next.text);
    shown = true;
  }
}

String SessionCore::makeCharWidthTable(int (*charWidth)(char16_t)) {
  static const char16_t ranges[][2] = {{0x20, 0x7E},     {0x2010, 0x203B}, {0x2103, 0x21E9}, {0x3000, 0x309E},
                                       {0x30A1, 0x30FF}, {0xFF01, 0xFF5E}, {0xFF61, 0xFFE5}};
  std::u16string table;
  for (const auto& r : ranges)
    for (int c = r[0]; c <= r[1]; ++c) {
      int w = charWidth(static_cast<char16_t>(c));
      table += static_cast<char16_t>(WIDTH_ALPHABET[w < 0 ? 0 : (w > 63 ? 63 : w)]);
    }
  return String(table.c_str(), 0, static_cast<int>(table.size()));
}

bool SessionCore::findUrlCredentials(const String& url, const String& base, String* user, String* password,
                                     String* scheme) {
  if (dialogState_ == DIALOG_CANCELLED) {
    dialogState_ = DIALOG_UNSET;
    return false;
  }
  String directory = directoryOf(absoluteUrl(url, base));
  AutoPtr<Vector<Object*>> rows(store_.readRecord(RecordStore::CREDENTIALS, u"S"_s));
  int best = -1, bestLength = -1;
  for (int i = 0; rows && i + 2 < rows->size(); i += 3) {
    String* key = dynamic_cast<String*>(rows->elementAt(i));
    if (!key || key->isNull()) continue;
    if (key->equals(directory)) {
      best = i;
      break;
    }
    if (directory.startsWith(*key) && key->length() > bestLength) {
      best = i;
      bestLength = key->length();
    }
  }
  if (best < 0) return false;
  String* u = dynamic_cast<String*>(rows->elementAt(best + 1));
  String* p = dynamic_cast<String*>(rows->elementAt(best + 2));
  *user = u ? *u : String();
  *password = p ? *p : String();
  *scheme = session_.challengeScheme.isNull() ? u"Basic"_s : session_.challengeScheme;
  return true;
}

void SessionCore::addPendingUpload(const std::vector<char>& data) { pendingUploads_.push_back(data); }

std::vector<std::vector<char>> SessionCore::takePendingUploads() {
  std::vector<std::vector<char>> out;
  out.swap(pendingUploads_);
  return out;
}

String SessionCore::getDataDirectory() { return System::getDataDirectory(u"vesk"_s, u"veskBrowserQK"_s); }

bool SessionCore::isCancelled() {
  Background* w = worker_.get();
  return w && w->isCancelled();
}

void SessionCore::setStatusText(const String& text) {
  {
    std::lock_guard<std::mutex> g(messageLock_);
    status_ = text;
  }
  if (view_) view_->statusTextChanged();
}

void SessionCore::repaint() {
  ++repaints_;
  if (view_) view_->requestRepaint();
}

void SessionCore::setPageExtent(int width, int height) {
  pageWidth_ = width;
  pageHeight_ = height;
}

bool SessionCore::isReflowMode() { return reflowHost_ && (getFlags() & FLAG_REFLOW); }

void SessionCore::beginReflowLayout(Page* page) {
  parsing = ParseLayout();
  if (!page || !reflowHost_) return;
  // The page is the parse's own until it is shown: its layout is built without the page lock.
  page->reflowLayout = new ReflowLayout(reflowHost_);
  page->reflowLayout->start(page);
  parsing.core = this;
  parsing.layout = page->reflowLayout.get();
}

void SessionCore::addReflowItem(RenderItem* item) {
  if (parsing.core == this && parsing.layout) parsing.layout->addItem(item);
}

void SessionCore::endReflowLayout() {
  if (parsing.core != this || !parsing.layout) return;
  ReflowLayout* layout = parsing.layout;
  parsing = ParseLayout();
  layout->finish();
  setPageExtent(layout->pageWidth(), layout->pageHeight());
}

ReflowLayout* SessionCore::reflowLayout() { return current_ ? current_->reflowLayout.get() : nullptr; }

void SessionCore::setReflowMode(bool on) {
  int flags = getFlags();
  setFlags(on ? flags | FLAG_REFLOW : flags & ~FLAG_REFLOW);
  std::lock_guard<std::mutex> g(pageLock_);
  Page* page = current_.get();
  if (!page) return;
  if (page->reflowLayout) {
    // Switched on again: laid out anew for the view as it is now.
    page->reflowLayout = nullptr;
    ReflowLayout::resetItems(page);
  }
  matchLayoutLocked();
}

void SessionCore::matchLayoutLocked() {
  Page* page = current_.get();
  if (!page) return;
  if (isReflowMode()) {
    if (page->reflowLayout || !page->items) return;
    page->reflowLayout = new ReflowLayout(reflowHost_);
    page->reflowLayout->build(page);
    setPageExtent(page->reflowLayout->pageWidth(), page->reflowLayout->pageHeight());
  } else if (page->reflowLayout) {
    page->reflowLayout = nullptr;
    ReflowLayout::resetItems(page);
  }
}

bool SessionCore::isMenuMode() { return property(u"use-menu"_s, String()) != u"no"; }

int SessionCore::getFlags() { return store_.readValue(RecordStore::FLAGS); }

void SessionCore::setFlags(int flags) {
  if (!replaying()) store_.writeValue(RecordStore::FLAGS, flags);
}

void SessionCore::reloadSettings() { store_.loadSettings(); }

int SessionCore::getSetting(int entry) { return store_.getSetting(entry); }

void SessionCore::setSetting(int entry, int value) {
  if (!replaying()) store_.setSetting(entry, value);
}

void SessionCore::saveSettings() {
  if (!replaying()) store_.writeRecord(RecordStore::SETTINGS, *store_.getSettings(), u"I"_s);
}

int SessionCore::getBookmarkCount() { return bookmarkCount_; }

void SessionCore::replaceBookmarks(const VectorV<String>& bookmarks) {
  if (replaying()) return;
  std::unique_ptr<VectorV<String>> copy(new VectorV<String>());
  for (int i = 0; i < bookmarks.size(); ++i) copy->addElement(bookmarks.elementAt(i));
  std::lock_guard<std::mutex> held(serviceBookmarksLock_);
  serviceBookmarks_ = std::move(copy);
}

bool SessionCore::applyServiceBookmarks() {
  std::unique_ptr<VectorV<String>> list;
  {
    std::lock_guard<std::mutex> held(serviceBookmarksLock_);
    list = std::move(serviceBookmarks_);
  }
  if (!list) return false;
  bookmarks_.replaceAll(*list);
  bookmarks_.save();
  bookmarkCount_ = bookmarks_.nodeCount();
  rebuildUserData();
  return true;
}

void SessionCore::bookmarksChanged() {
  bookmarks_.markChanged();
  bookmarkCount_ = bookmarks_.nodeCount();
  rebuildUserData();
}

void SessionCore::rebuildUserData() {
  std::vector<char> picture;
  try {
    picture = makeBackupPicture();
  } catch (const Exception&) {
    // Without the logo nothing is uploaded; the list itself is stored.
  }
  setUserDataPackage(picture);
}

std::vector<char> SessionCore::makeBackupPicture() {
  String portal =
      (String(u"http://"_s) + property(u"service.host"_s, u"127.0.0.1"_s)) + u"/portal/indexQK.jsp";
  std::vector<char> package;
  try {
    package = UserDataPackage::build(store_, bookmarks_, portal);
  } catch (const Exception&) {
    throw Exception(Resource::getString(10191));
  }
  return BackupPicture::wrap(package);
}

int SessionCore::openBackup(InputStream& picture) {
  backup_.reset(new UserDataPackage(UserDataPackage::read(BackupPicture::unwrap(picture))));
  return backup_->found();
}

int SessionCore::restoreBackup(int chosenBits) {
  if (!backup_) return 0;
  int flags = getFlags();
  int applied = backup_->apply(chosenBits, store_, bookmarks_, &flags);
  backup_.reset();
  if (applied & UserDataPackage::FOUND_SETTINGS) store_.loadSettings();
  if (applied & UserDataPackage::FOUND_BOOKMARKS)
    bookmarksChanged();
  else
    rebuildUserData();
  return applied;
}

void SessionCore::setUserDataPackage(const std::vector<char>& data) {
  std::lock_guard<std::mutex> g(messageLock_);
  userData_ = data;
}

std::vector<char> SessionCore::getUserDataPackage() {
  std::lock_guard<std::mutex> g(messageLock_);
  return userData_;
}

void SessionCore::findCredentials(const String& realm, String* user, String* password) {
  String key = directoryOf(realm);
  AutoPtr<Vector<Object*>> rows(store_.readRecord(RecordStore::CREDENTIALS, u"S"_s));
  for (int i = 0; rows && i + 2 < rows->size(); i += 3) {
    String* k = dynamic_cast<String*>(rows->elementAt(i));
    if (k && k->equals(key)) {
      String* u = dynamic_cast<String*>(rows->elementAt(i + 1));
      String* p = dynamic_cast<String*>(rows->elementAt(i + 2));
      *user = u ? *u : String();
      *password = p ? *p : String();
      return;
    }
  }
  *user = String();
  *password = String();
}

void SessionCore::queueInformation(const String& title, const String& text) {
  if (replaying()) return;
  // Shown by the window when it next paints, not from the worker.
  queueMessage(title, text);
  if (view_) view_->requestRepaint();
}

void SessionCore::openCredentialDialog(const String& prompt, const String& user, const String& password) {
  if (dialogs_) {
    dialogs_->askCredentials(prompt, user, password);
    return;
  }
  // Without a window it is a message the user would answer.
  queueMessage(u"auth"_s, (prompt + u"|") + user);
}

bool SessionCore::askYesNo(const String& title, const String& text) {
  if (replaying()) return false;
  if (dialogs_) return dialogs_->askYesNo(title, text);
  queueMessage(title, text);
  return false;
}

void SessionCore::launchProgram(int launchType, const String& argument) {
  if (view_ && !replaying()) view_->launchProgram(launchType, argument);
}

void SessionCore::terminate() {
  if (view_ && !replaying()) view_->terminate();
}

void SessionCore::launchDownload(const String& url, const String& referrer, const String& cookies) {
  if (replaying()) return;
  if (!downloadChannel_.send) {
    if (view_) view_->launchDownload(url, referrer, cookies);
    return;
  }
  int message = DownloadHandOver::handOver(downloadChannel_, url, referrer, cookies);
  if (message == 0) return;
  queueMessage(String(), Resource::getString(message));
  if (view_) view_->requestRepaint();
}

String SessionCore::getCurrentPageUrl() {
  SharedPtr<Page> p = getCurrentPage();
  return p ? p->url : String();
}

void SessionCore::makeCurrentLocked(const SharedPtr<Page>& page) {
  Page* shown = current_.get();
  if (shown && shown != page.get()) {
    // A page that is left keeps its header, its kept description and its
    // pointer; showing it again parses the description anew.
    shown->replaceItemLists();
    shown->zoom = zoom_;
    pageImages_.clear();
  }
  if (shown != page.get()) {
    current_ = page;
    if (page && page->zoom > 0 && page->zoom != zoom_) {
      page->pointerX = static_cast<int>(static_cast<int64_t>(zoom_) * page->pointerX / page->zoom);
      page->pointerY = static_cast<int>(static_cast<int64_t>(zoom_) * page->pointerY / page->zoom);
      page->zoom = zoom_;
    }
  }
  // Wrapped lines and scroll bars are made again for the page as shown.
  for (int i = 0; page && i < page->mainCount(); ++i) page->items->elementAt(i)->setChild(nullptr);
}

Image* SessionCore::pageImage(int index) { return pageImages_.getImage(index); }

int SessionCore::pageImageCount() { return pageImages_.getCount(); }

MediaImage* SessionCore::copyPageMediaImage(int index) {
  std::lock_guard<std::mutex> held(pageLock_);
  MediaImage* media = pageImages_.getMediaImage(index);
  if (!media || !media->getBytes() || media->getLength() <= 0) return nullptr;
  return new MediaImage(media->getBytes(), 0, media->getLength(), true);
}

void SessionCore::clearDecodedImages() {
  std::lock_guard<std::mutex> g(pageLock_);
  pageImages_.clear();
}

bool SessionCore::decodePageImage(const SharedPtr<Page>& page, int index) {
  if (!page || !page->images || index < 0 || index >= page->images->size()) return false;
  VectorV<char>* bytes = page->images->elementAt(index);
  if (!bytes || bytes->size() == 0) return false;
  PageImages::Decoded decoded;
  bool ok = PageImages::decode(bytes->data(), bytes->size(), transparentColor_, &decoded);
  std::lock_guard<std::mutex> g(pageLock_);
  if (page.get() != current_.get()) return false;
  if (!ok) {
    // The bytes stay: the slot is empty and the page shows without it.
    pageImages_.drop(index);
    return false;
  }
  int64_t cost = decoded.cost();
  if (images_.decodedBytes + cost > images_.memoryLimit) {
    bytes->clear();
    pageImages_.drop(index);
    return false;
  }
  images_.decodedBytes = static_cast<int>(images_.decodedBytes + cost);
  pageImages_.put(index, std::move(decoded));
  return true;
}

int64_t SessionCore::freeMemory() {
  return freeMemory_ ? freeMemory_() : Runtime::getRuntime()->freeMemory();
}

bool SessionCore::ensureFreeMemory(int64_t bytes) {
  if (freeMemory() >= bytes) return true;
  std::vector<SharedPtr<Page>> pages;
  {
    std::lock_guard<std::mutex> g(pageLock_);
    pages = windows_.pagesByEviction();
  }
  for (const SharedPtr<Page>& page : pages) {
    {
      std::lock_guard<std::mutex> g(pageLock_);
      if (page.get() == current_.get()) continue;
      if (!page->data && !page->images) continue;
      page->data = nullptr;
      page->dataLength = 0;
      page->images = nullptr;
    }
    System::gc();
    if (freeMemory() >= bytes) return true;
  }
  return freeMemory() >= bytes;
}

bool SessionCore::restoreWindows() {
  std::lock_guard<std::mutex> g(pageLock_);
  if (!windows_.restore(store_)) return false;
  SharedPtr<Page> entry = windows_.getCurrentEntry();
  makeCurrentLocked(entry ? entry : SharedPtr<Page>(new Page()));
  return true;
}

void SessionCore::saveWindows() {
  std::lock_guard<std::mutex> g(pageLock_);
  windows_.save(store_);
}

void SessionCore::historyStep(int offset) {
  bool running = worker_ && worker_->isAlive();
  int target;
  {
    std::lock_guard<std::mutex> g(pageLock_);
    target = windows_.getPosition() + offset;
    if (target < 0 || target >= windows_.getHistorySize()) {
      if (!running) return;
      // Outside the history only a request that is running can be stopped:
      // one for another page ends there; one still loading the page on
      // screen (its images) leaves the page to be shown again.
      if (!worker_->isForPageOnScreen()) {
        target = -1;
      } else {
        target = windows_.getPosition();
        if (current_) {
          current_->replaceItemLists();
          current_->zoom = zoom_;
        }
      }
    }
  }
  cancel();
  if (target < 0) return;
  {
    std::lock_guard<std::mutex> g(pageLock_);
    windows_.setPosition(target);
    SharedPtr<Page> entry = windows_.getCurrentEntry();
    if (!entry) return;
    makeCurrentLocked(entry);
  }
  reshowCachedPage();
}

void SessionCore::reshowCachedPage() {
  // Images still arriving for this page would land in the lists made anew.
  if (worker_ && worker_->isAlive() && worker_->isForPageOnScreen()) cancel();
  SharedPtr<Page> page = getCurrentPage();
  if (!page) return;
  if (!page->data || page->dataLength <= 0) {
    // Nothing kept: the page is asked for again, in place of this entry.
    if (!page->url.isNull() && page->url.length() > 0) startPageRequest(page->url, String(), String(), false);
    return;
  }
  setStatusText(Resource::getString(10018) + page->url);
  setPageExtent(page->width, page->height);
  // The description is parsed into a page of its own and handed over under
  // the lock, so the window never draws half a list.
  Page fresh;
  int decoded = 0;
  SessionValues before = session_;
  replayThread_ = std::this_thread::get_id();
  try {
    ByteArrayInputStream kept(page->data.get(), 0, page->dataLength);
    PageResponseDecoder decoder(this);
    decoded = decoder.decodePageResponse(&fresh, &kept, false);
  } catch (const Exception&) {
    decoded = 0;
  }
  replayThread_ = std::thread::id();
  session_ = before;
  if (decoded) {
    std::lock_guard<std::mutex> g(pageLock_);
    page->pageId = fresh.pageId;
    page->pageNo = fresh.pageNo;
    page->pageFlags = fresh.pageFlags;
    page->title = fresh.title;
    page->backgroundColor = fresh.backgroundColor;
    page->width = fresh.width;
    page->height = fresh.height;
    // The layout made in the parse refers into the lists handed over with it.
    page->reflowLayout = fresh.reflowLayout.release();
    page->items = fresh.items.release();
    page->structure = fresh.structure.release();
    page->frames = fresh.frames.release();
    pageImages_.reset(images_.imageCount());
    if (page.get() == current_.get()) matchLayoutLocked();
  }
  if (decoded && page->images) {
    int count = images_.imageCount();
    for (int i = 0; i < count && i < page->images->size(); ++i) {
      VectorV<char>* bytes = page->images->elementAt(i);
      if (!bytes || bytes->size() == 0) continue;
      PageImages::Decoded image;
      if (!PageImages::decode(bytes->data(), bytes->size(), transparentColor_, &image)) continue;
      {
        std::lock_guard<std::mutex> g(pageLock_);
        if (page.get() != current_.get()) break;
        images_.decodedBytes = static_cast<int>(images_.decodedBytes + image.cost());
        pageImages_.put(i, std::move(image));
      }
      if (i % 5 == 0)
        setStatusText(((((Resource::getString(11013) + (i + 1) * 100 / count) + u"% ") + (i + 1)) + u"/") +
                      count);
    }
  }
  setStatusText(String());
  if (view_) {
    view_->pageShown();
    view_->requestRepaint();
  }
}

int SessionCore::findAnchor(const String& fragment, int* x) {
  int hash = fragment.indexOf(u'#');
  String name = (hash < 0 ? fragment : fragment.substring(hash + 1)).toLowerCase();
  std::lock_guard<std::mutex> g(pageLock_);
  Page* page = current_.get();
  if (page && page->reflowLayout) {
    RenderItem* anchor = page->reflowLayout->findAnchor(name);
    if (!anchor) return -1;
    if (x) *x = anchor->x;
    // The first line starts a pixel above the page's top.
    return std::max(anchor->y, 0);
  }
  for (int i = 0; page && i < page->mainCount(); ++i) {
    RenderItem* item = page->items->elementAt(i);
    if (item->type != RenderItem::ANCHOR || item->name.isNull()) continue;
    if (!item->name.toLowerCase().equals(name)) continue;
    if (x) *x = item->x;
    return item->y;
  }
  return -1;
}

bool SessionCore::isSamePageLink(const String& url, const String& frameUrl) {
  int hash = url.indexOf(u'#');
  if (hash < 0 || url.indexOf(u"#veskBrowserPage-"_s) >= 0) return false;
  if (hash == 0) return true;
  String base = frameUrl;
  if (base.isNull() || base.length() == 0) base = getCurrentPageUrl();
  if (base.isNull() || base.length() == 0) return false;
  int own = base.indexOf(u'#');
  if (own >= 0) base = base.substring(0, own);
  String same = base + url.substring(hash);
  if (url.equals(same)) return true;
  return absoluteUrl(url, base).equals(same);
}

void SessionCore::recordVisit(const String& dateText) {
  SharedPtr<Page> page = getCurrentPage();
  if (!page || page->url.isNull() || page->url.length() == 0) return;
  AutoPtr<Vector<Object*>> rows(store_.readRecord(RecordStore::VISITED, u"S"_s));
  if (!rows) rows = new Vector<Object*>();
  VisitedList::record(*rows, page->title, page->url, dateText);
  store_.writeRecord(RecordStore::VISITED, *rows, u"S"_s);
}

void SessionCore::openInNewWindow(const String& url) {
  openWindow();
  startPageRequest(url);
}

void SessionCore::openWindow() {
  // A request still running belongs to the window that is left.
  cancel();
  std::lock_guard<std::mutex> g(pageLock_);
  windows_.openWindow(System::currentTimeMillis() / 1000);
}

void SessionCore::closeWindow(int index) {
  bool current;
  {
    std::lock_guard<std::mutex> g(pageLock_);
    current = index == windows_.getCurrent();
  }
  if (current) cancel();
  {
    std::lock_guard<std::mutex> g(pageLock_);
    if (!windows_.closeWindow(index)) return;
    SharedPtr<Page> entry = windows_.getCurrentEntry();
    makeCurrentLocked(entry ? entry : SharedPtr<Page>(new Page()));
  }
  reshowCachedPage();
  if (view_) {
    view_->pageShown();
    view_->requestRepaint();
  }
}

void SessionCore::answerCredentials(bool ok, const String& user, const String& password) {
  if (!ok) {
    dialogState_ = DIALOG_CANCELLED;
    return;
  }
  session_.typedUser = user;
  session_.typedPassword = password;
  dialogState_ = DIALOG_CONFIRMED;
  credentialRetry_ = true;
  // Kept for the challenged address, the one the next request looks up; a
  // challenge outside a page request names it by the realm.
  Background* w = worker_.get();
  bool pageRequest = w && w->getKind() == Background::PAGE && !w->getUrl().isNull();
  String key =
      directoryOf(pageRequest ? absoluteUrl(w->getUrl(), w->getReferrer()) : session_.challengeRealm);
  if (key.isNull() || key.length() == 0) return;
  AutoPtr<Vector<Object*>> rows(store_.readRecord(RecordStore::CREDENTIALS, u"S"_s));
  if (!rows) rows = new Vector<Object*>();
  int found = -1;
  for (int i = 0; i + 2 < rows->size(); i += 3) {
    String* k = dynamic_cast<String*>(rows->elementAt(i));
    if (k && k->equals(key)) found = i;
  }
  if (found < 0) {
    rows->setSize(rows->size() - rows->size() % 3);
    rows->addElement(new String(key));
    rows->addElement(new String(user));
    rows->addElement(new String(password));
  } else {
    delete rows->elementAt(found + 1);
    rows->setElementAt(new String(user), found + 1);
    delete rows->elementAt(found + 2);
    rows->setElementAt(new String(password), found + 2);
  }
  store_.writeRecord(RecordStore::CREDENTIALS, *rows, u"S"_s);
}

bool SessionCore::takeCredentialRetry() {
  bool retry = credentialRetry_;
  credentialRetry_ = false;
  return retry;
}
