#include "browser/shell/SessionCore.h"

#include <thread>

#include "browser/service/Background.h"
#include "browser/service/CipherManager.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/net/DialupManager.h"
#include "vwt/net/URL.h"

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
}  // namespace

SessionCore::SessionCore(StoreErrorReport* report, const String& storage)
    : store_(report, SettingsDefaults(), storage),
      cookies_(&store_),
      offscreenWidth_(240),
      viewHeight_(320),
      fa_(10),
      fb_(3),
      fh_(13),
      fw_(12),
      transparentColor_(false),
      dialogState_(DIALOG_UNSET),
      lastStatsTime_(System::currentTimeMillis()),
      pageWidth_(0),
      pageHeight_(0),
      repaints_(0),
      connectTimeout_(60000) {
  store_.open();
  store_.loadSettings();
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
  return history_.size();
}

void SessionCore::onPageLoaded(const SharedPtr<Page>& page, bool newPage) {
  std::lock_guard<std::mutex> g(pageLock_);
  current_ = page;
  if (newPage || history_.size() == 0)
    history_.addElement(new SharedPtr<Page>(page));
  else
    *history_.elementAt(history_.size() - 1) = page;
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

void SessionCore::setFontMetrics(int fa, int fb, int fh, int fw) {
  fa_ = fa;
  fb_ = fb;
  fh_ = fh;
  fw_ = fw;
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
  std::lock_guard<std::mutex> g(messageLock_);
  status_ = text;
}

void SessionCore::repaint() { ++repaints_; }

void SessionCore::setPageExtent(int width, int height) {
  pageWidth_ = width;
  pageHeight_ = height;
}

bool SessionCore::isMenuMode() { return property(u"use-menu"_s, String()) != u"no"; }

int SessionCore::getFlags() { return store_.readValue(RecordStore::FLAGS); }

void SessionCore::setFlags(int flags) { store_.writeValue(RecordStore::FLAGS, flags); }

void SessionCore::reloadSettings() { store_.loadSettings(); }

int SessionCore::getSetting(int entry) { return store_.getSetting(entry); }

void SessionCore::setSetting(int entry, int value) { store_.setSetting(entry, value); }

void SessionCore::saveSettings() { store_.writeRecord(RecordStore::SETTINGS, *store_.getSettings(), u"I"_s); }

void SessionCore::replaceBookmarks(const VectorV<String>&) {}

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

void SessionCore::queueInformation(const String& title, const String& text) { queueMessage(title, text); }

void SessionCore::openCredentialDialog(const String& prompt, const String& user, const String&) {
  // The window runs the dialog; here it is a message the user would answer.
  queueMessage(u"auth"_s, (prompt + u"|") + user);
}

bool SessionCore::askYesNo(const String& title, const String& text) {
  queueMessage(title, text);
  return false;
}

void SessionCore::launchProgram(int, const String&) {}

void SessionCore::terminate() {}

void SessionCore::launchDownload(const String&, const String&, const String&) {}

String SessionCore::getCurrentPageUrl() {
  SharedPtr<Page> p = getCurrentPage();
  return p ? p->url : String();
}
