#include "browser/service/PageResponseDecoder.h"

#include <cstdint>

#include "browser/page/PageDataParser.h"
#include "browser/service/CookieStore.h"
#include "browser/service/ImageTable.h"
#include "browser/service/SessionValues.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/InflaterInputStream.h"

namespace {

const int DAMAGED_PAGE_DATA = 11100;
const int FLAG_UPLOAD_BOOKMARKS = 0x800;
const int FLAG_COOKIES_OFF = 0x10;
const int FLAG_FILES_OFF = 0x8000000;

Exception damaged(const char* what, int value) {
  return Exception((Resource::getString(DAMAGED_PAGE_DATA) + String(what)) + (u" "_s + value));
}

// The stream chain of one response, closed on every way out.
class EnvelopeStream {
 public:
  explicit EnvelopeStream(InputStream* in) : inflater_(new InflaterInputStream(in)), data_(inflater_) {
    inflater_->setDeleteSource(false);
  }
  ~EnvelopeStream() {
    try {
      data_.close();
    } catch (...) {
    }
  }
  DataInputStream& data() { return data_; }

 private:
  InflaterInputStream* inflater_;  // owned by data_
  DataInputStream data_;
};

int readCount(DataInputStream& in, int max, const char* what) {
  int n = in.readInt();
  if (n < 0 || n > max) throw damaged(what, n);
  return n;
}

String versionText(int v) { return ((String(v / 1000) + u'.') + (v % 1000) / 100) + u'.' + String(v % 100); }

}  // namespace

int PageResponseDecoder::decodePageResponse(Page* page, InputStream* in, bool fullLoad) {
  host_->clearDecodedImages();
  EnvelopeStream stream(in);
  DataInputStream& data = stream.data();
  SessionValues& session = host_->getSessionValues();

  int serviceVersion = data.readInt();
  if (serviceVersion > SERVICE_VERSION && host_->isMenuMode()) {
    host_->queueInformation(Resource::getString(10225),
                            Resource::getString(11008) + versionText(serviceVersion));
    session.pendingState = u"VER_UP"_s;
    return 0;
  }

  int status = data.readInt();
  String message = data.readUTF();
  String argument = data.readUTF();
  bool haveBookmarks = false;
  VectorV<String> bookmarks;

  if (status >= 10000 && status <= 19999 && host_->isMenuMode()) {
    host_->queueInformation(String::null, (message + u"\n\n") + argument);
    host_->launchProgram(2, argument);
    host_->terminate();
  } else if (status >= 20000 && status <= 24999 && host_->isMenuMode()) {
    if (!session.noticeShown) {
      host_->queueInformation(String::null, message);
      if (status == 21000) session.notice21000 = true;
      session.noticeShown = true;
    }
  } else if (status == 30000 && fullLoad) {
    // The realm is the argument; the message is "scheme,prompt".
    int comma = message.indexOf(u',');
    String scheme = comma >= 0 ? message.substring(0, comma) : u"Basic"_s;
    String prompt = comma >= 0 ? message.substring(comma + 1) : String::null;
    const String& realm = argument;
    if (!realm.isNull() && !realm.equals(session.challengeRealm)) {
      session.challengeCounter = 0;
      session.typedUser = String::null;
      session.typedPassword = String::null;
    } else {
      session.challengeCounter = session.challengeCounter >= 3 ? 0 : session.challengeCounter + 1;
    }
    if (session.challengeCounter < 3) {
      String user, password;
      host_->findCredentials(realm, &user, &password);
      if (!session.typedUser.isNull() && !session.typedPassword.isNull()) {
        user = session.typedUser;
        password = session.typedPassword;
      }
      session.challengeScheme = scheme;
      if (!realm.isNull()) session.challengeRealm = realm;
      host_->openCredentialDialog(prompt, user, password);
      return 0;
    }
  } else if (status == 31000) {
    int n = data.readInt();
    if (n < 0 || n > MAX_BOOKMARKS) throw damaged("bookmark count", n);
    if (n > 0 || host_->getSetting(5) > 0) {
      for (int i = 0; i < n; ++i) bookmarks.addElement(data.readUTF());
      haveBookmarks = true;
    } else if (host_->getBookmarkCount() > 0) {
      host_->setFlags(host_->getFlags() | FLAG_UPLOAD_BOOKMARKS);
    }
  } else if (status == 32000) {
    if (!session.noticeShown &&
        host_->askYesNo(Resource::getString(11010), Resource::getString(11009, message))) {
      String cookies =
          host_->getCookieStore().cookieText(argument, String::null).replace(u" "_s, String::null);
      host_->launchDownload(argument, host_->getCurrentPageUrl(), cookies);
    }
    return 0;
  }

  session.typedUser = String::null;
  session.typedPassword = String::null;
  int userId = data.readInt();
  int serverValue1 = data.readInt();
  int serverValue2 = data.readInt();
  int bookmarkVersion = data.readInt();

  if (host_->getSetting(5) < bookmarkVersion) {
    host_->setSetting(5, bookmarkVersion);
    host_->saveSettings();
    if (haveBookmarks) host_->replaceBookmarks(bookmarks);
  }
  if (userId != 0) {
    host_->reloadSettings();
    if (userId != host_->getSetting(0)) session.idChanged = true;
    host_->setSetting(0, userId);
    host_->setSetting(1, serverValue1);
    host_->setSetting(2, serverValue2);
    host_->saveSettings();
    if (session.idChanged && !host_->isMenuMode()) {
      session.idChanged = false;
      if (!session.noticeShown) {
        host_->queueInformation(String::null, u"ID:"_s + userId);
        session.noticeShown = true;
      }
    }
  }
  session.sessionId = data.readUTF();

  PageDataParser parser(host_, page, &data);
  if (parser.parsePage(fullLoad) == 0) return 0;

  ImageTable& images = host_->getImageTable();
  int imageCount = readCount(data, MAX_IMAGES, "image count");
  images.offsets.clear();
  images.offsets.addElement(0);
  int64_t sum = 0;
  for (int i = 0; i < imageCount; ++i) {
    if (fullLoad && host_->isCancelled()) return 0;
    int size = data.readInt();
    sum += size;
    if (size < 0 || sum > INT32_MAX) throw damaged("image size", size);
    images.offsets.addElement(static_cast<int>(sum));
  }
  images.bytesTotal = data.readInt();
  images.blockCount = data.readInt();
  images.memoryLimit = data.readInt();
  images.receivedBytes = 0;
  images.decodedBytes = 0;
  int flags = host_->getFlags();
  if (!(flags & FLAG_FILES_OFF)) images.fileCount = data.readInt();

  if (fullLoad) {
    int groups = readCount(data, MAX_COOKIE_GROUPS, "cookie group count");
    bool persistent = false;
    CookieStore& cookies = host_->getCookieStore();
    for (int g = 0; g < groups; ++g) {
      if (host_->isCancelled()) return 0;
      int m = data.readShort();
      if (m < 0) throw damaged("cookie count", m);
      for (int i = 0; i < m; ++i) {
        String domain = data.readUTF();
        String path = data.readUTF();
        String name = data.readUTF();
        String value = data.readUTF();
        int lifetime = data.readInt();
        int cookieFlags = data.readShort();
        if (flags & FLAG_COOKIES_OFF) continue;
        cookies.storeCookie(domain, path, name, value, lifetime, cookieFlags);
        if (lifetime != 0) persistent = true;
      }
    }
    if (persistent) cookies.saveCookies();
  }
  // Reading on to the end makes the inflater check the stream's trailer,
  // so a response cut short is not taken for a whole one.
  data.read();
  return 1;
}
