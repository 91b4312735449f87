#include "browser/service/Background.h"

#include <cstring>

#include "browser/service/CipherManager.h"
#include "browser/service/PageResponseDecoder.h"
#include "browser/service/QueryBuilder.h"
#include "browser/shell/SessionCore.h"
#include "vwt/crypto/AES256.h"
#include "vwt/crypto/CipherInputStream.h"
#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/BufferedOutputStream.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/Connector.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/io/OutputStream.h"
#include "vwt/io/TieInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Math.h"
#include "vwt/lang/Phone.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/net/HttpConnection.h"

namespace {
// Results of the response readers that ask postRequest to recover once the
// streams of the failed exchange are gone.
const int RECOVER = -2;
const int RECOVER_REKEY = -3;
const int MAX_EMBEDDED_FILES = 256;

void putInt(std::vector<char>& out, int v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(static_cast<unsigned int>(v) >> (24 - 8 * i)));
}
void putShort(std::vector<char>& out, int v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}

// Reads until max bytes arrived or the source ends.
int readUpTo(InputStream* in, char* buffer, int max) {
  int total = 0;
  while (total < max) {
    int n = in->read(buffer, total, max - total);
    if (n <= 0) break;
    total += n;
  }
  return total;
}

std::vector<char> readAll(InputStream* in) {
  std::vector<char> out;
  std::vector<char> buffer(Background::CHUNK_BYTES);
  int n;
  while ((n = in->read(buffer.data(), 0, static_cast<int>(buffer.size()))) > 0)
    out.insert(out.end(), buffer.data(), buffer.data() + n);
  return out;
}

std::vector<char> asciiBytes(const String& s) {
  std::vector<char> out(String::maxAsciiBytes(s.length()) + 1);
  int n = s.getCStringAsAscii(out.data(), static_cast<int>(out.size()) - 1);
  out.resize(n);
  return out;
}

std::vector<char> encrypt(const std::vector<char>& plain, AES256* aes) {
  CipherInputStream cipher(new ByteArrayInputStream(plain.data(), 0, static_cast<int>(plain.size())), aes,
                           CipherInputStream::ENCRYPT);
  return readAll(&cipher);
}

// A file name from the network, kept inside its folder: directory parts,
// "..", and control characters are removed.
String safeFileName(const String& name) {
  int cut = name.lastIndexOf(u'/');
  int back = name.lastIndexOf(u'\\');
  if (back > cut) cut = back;
  String base = name.substring(cut + 1);
  String out;
  for (int i = 0; i < base.length(); ++i) {
    char16_t c = base.charAt(i);
    if (c >= 0x20 && c != 0x7F && c != u':') out = out + c;
  }
  while (out.startsWith(u".")) out = out.substring(1);
  return out;
}
}  // namespace

Background::Background(SessionCore* owner, const String& url, const String& origin, const String& baseUrl,
                       bool newPage, const String& postData, const String& charset, int options)
    : owner_(owner),
      kind_(PAGE),
      url_(url),
      origin_(origin),
      baseUrl_(baseUrl),
      newPage_(newPage),
      cancelled_(false),
      connection_(nullptr),
      postData_(postData),
      charset_(charset),
      favoriteUpload_(false),
      postCount_(0),
      options_(options),
      uploadId_(0),
      result_(-1),
      pageShown_(false) {
  setPriority(Thread::LOWEST);
}

Background::Background(SessionCore* owner, int kind)
    : owner_(owner),
      kind_(kind),
      newPage_(false),
      cancelled_(false),
      connection_(nullptr),
      favoriteUpload_(false),
      postCount_(0),
      options_(0),
      uploadId_(0),
      result_(-1),
      pageShown_(false) {
  setPriority(Thread::LOWEST);
}

Background::~Background() {
  join();
  releaseConnection();
}

void Background::releaseConnection() {
  HttpConnection* c;
  {
    std::lock_guard<std::mutex> g(connectionLock_);
    c = connection_;
    connection_ = nullptr;
  }
  if (c) {
    c->close();
    delete c;
  }
}

void Background::closeConnection() {
  std::lock_guard<std::mutex> g(connectionLock_);
  if (connection_) connection_->abort();
}

void Background::run() {
  switch (kind_) {
    case PAGE:
      runPageRequest();
      break;
    case IMAGES:
      fetchImageBlocks();
      break;
    case KEY_FETCH:
      result_ = fetchPublicKey() ? 0 : -1;
      break;
    case KEY_EXCHANGE:
      result_ = exchangeKey() ? 0 : -1;
      break;
  }
  if (!cancelled_) owner_->setStatusText(String());
}

bool Background::fetchPublicKey() {
  QueryBuilder q(owner_);
  for (int attempt = 0; attempt < 3; ++attempt)
    if (postRequest(TYPE_KEY_FETCH, q.buildKeyQuery()) == 0) return true;
  return false;
}

bool Background::exchangeKey() {
  CipherManager& cipher = owner_->getCipherManager();
  for (int attempt = 0; attempt < 3 && !cancelled_; ++attempt) {
    char block[CipherManager::KEY_BLOCK_BYTES];
    char sealed[CipherManager::KEY_BLOCK_BYTES];
    cipher.makeKeyBlock(owner_->getSetting(0), Phone::getProperty(0), block);
    bool ok = cipher.encryptKeyBlock(block, sealed);
    std::memset(block, 0, sizeof block);
    if (!ok) return false;
    ByteArrayInputStream body(sealed, 0, CipherManager::KEY_BLOCK_BYTES);
    if (postRequest(TYPE_KEY_EXCHANGE, owner_->getEndpoint(), 0, 0, 0, &body) == 0) return true;
  }
  return false;
}

int Background::postRequest(int type, const String& url, int uploadId, int partIndex, int chunkIndex,
                            InputStream* body) {
  if (postCount_ >= MAX_POSTS || cancelled_) return -1;
  ++postCount_;
  releaseConnection();
  int q = url.indexOf(u'?');
  String address = q < 0 ? url : url.substring(0, q);
  String query = q < 0 ? String() : url.substring(q + 1);
  int result = 0;
  try {
    Connection* opened = Connector::open(address, Connector::READ_WRITE);
    HttpConnection* http = dynamic_cast<HttpConnection*>(opened);
    if (!http) {
      delete opened;
      throw Exception(Resource::getString(-200));
    }
    {
      std::lock_guard<std::mutex> g(connectionLock_);
      connection_ = http;
    }
    http->setRequestMethod(u"POST"_s);
    http->setUserAgent(String(u"WindowsMobile "_s) + System::getTerminalName());
    // A service that stalls or drips costs one attempt of the budget, not the worker.
    http->setTimeouts(System::getPropertyAsInt(u"service.timeout.idle"_s, DEFAULT_IDLE_TIMEOUT_MS),
                      System::getPropertyAsInt(u"service.timeout.request"_s, DEFAULT_REQUEST_TIMEOUT_MS));
    // The body of an answer ends when the service closes the connection.
    http->setRequestProperty(u"Connection"_s, u"close"_s);
    int userId = owner_->getSetting(0);
    AES256* aes = owner_->getCipherManager().buildCipher();

    std::vector<char> payload;
    bool more = false;
    String contentType = String(u"vesk-cryptreq"_s) + userId;
    if (type == TYPE_KEY_FETCH) {
      contentType = u"application/x-www-form-urlencoded"_s;
      payload = asciiBytes(query);
    } else if (type == TYPE_KEY_EXCHANGE && body) {
      contentType = u"vesk-keyexchange"_s;
      payload.resize(CipherManager::KEY_BLOCK_BYTES);
      payload.resize(readUpTo(body, payload.data(), CipherManager::KEY_BLOCK_BYTES));
    } else if (type == TYPE_UPLOAD && body) {
      contentType = String(u"application/octet-stream"_s) + userId;
      if (favoriteUpload_) {
        favoriteUpload_ = false;
        owner_->setFlags(owner_->getFlags() & ~SessionCore::FLAG_BOOKMARKS_CHANGED);
        contentType = String(u"vesk-favorite"_s) + userId;
      }
      std::vector<char> plain;
      putInt(plain, userId);
      putInt(plain, uploadId);
      putShort(plain, partIndex);
      putShort(plain, chunkIndex);
      plain.resize(12 + CHUNK_BYTES);
      int n = readUpTo(body, plain.data() + 12, CHUNK_BYTES);
      plain.resize(12 + n);
      if (n > 0) payload = encrypt(plain, aes);
      more = n == CHUNK_BYTES;
    } else {
      payload = encrypt(asciiBytes(query), aes);
    }
    http->setRequestProperty(u"Content-Type"_s, contentType);

    // An empty body is still opened, so that the request says its length is 0.
    {
      try {
        OutputStream* out = http->openOutputStream();
        if (!payload.empty()) out->write(payload.data(), 0, static_cast<int>(payload.size()));
        out->close();
      } catch (const Exception&) {
        // the exchange goes on; the service answers what it got
      }
    }
    if (cancelled_) {
      releaseConnection();
      return -1;
    }
    http->connect();
    if (cancelled_) {
      releaseConnection();
      return -1;
    }
    int code = http->getResponseCode();
    if (code >= 400)
      owner_->queueMessage(Resource::getString(10002),
                           (Resource::getString(11005) + code + u" ") + http->getResponseMessage());

    if (type != TYPE_UPLOAD) {
      BufferedInputStream* buffered = new BufferedInputStream(http->openInputStream());
      buffered->setDeleteSource(false);
      AutoPtr<InputStream> owned(buffered);
      switch (type) {
        case TYPE_PAGE:
          result = readPageResponse(buffered, query);
          break;
        case TYPE_IMAGES:
        case TYPE_FILES:
          result = readBlockResponse(buffered, query, type);
          break;
        case TYPE_KEY_FETCH:
          result = owner_->getCipherManager().readPublicKeyRecord(buffered) ? 0 : -1;
          break;
        case TYPE_KEY_EXCHANGE: {
          int newId = 0;
          result = owner_->getCipherManager().readKeyExchangeAnswer(buffered, &newId);
          if (result == 0 && newId != userId) {
            owner_->getSessionValues().idChanged = true;
            owner_->setSetting(0, newId);
          }
          break;
        }
      }
    } else if (more) {
      result = 1;
    }
  } catch (const Exception& e) {
    releaseConnection();
    if (!cancelled_) owner_->queueMessage(Resource::getString(11006), e.toString());
    return -1;
  }
  releaseConnection();
  if (result == RECOVER || result == RECOVER_REKEY) {
    if (cancelled_) return -1;
    return recover(query, type, result == RECOVER_REKEY) == 0 ? 0 : -1;
  }
  return result;
}

int Background::recover(const String& query, int type, bool rekey) {
  if (rekey) {
    owner_->setStatusText(Resource::getString(11015));
    bool exchanged = false;
    for (int i = 0; i < 3 && !exchanged && !cancelled_; ++i) exchanged = exchangeKey();
    if (!exchanged) return -1;
  }
  QueryBuilder q(owner_);
  String url = q.sessionUrl();
  if (!query.isNull()) url = (url + u"?") + query;
  for (int i = 0; i < 3 && !cancelled_; ++i)
    if (postRequest(type, url) == 0) return 0;
  return -1;
}

namespace {

// The decrypted body of an answer, read up to and including its magic.
class DecryptedAnswer {
 public:
  DecryptedAnswer(InputStream* buffered, AES256* key)
      : cipher_(buffered, key, CipherInputStream::DECRYPT), data_(&cipher_) {
    cipher_.setDeleteSource(false);
    data_.setDeleteSource(false);
  }
  // 0 with a good magic; RECOVER when it cannot be read, RECOVER_REKEY when
  // it is wrong (the service no longer knows our key).
  int readMagic() {
    int magic;
    try {
      magic = data_.readInt();
    } catch (const Exception&) {
      return RECOVER;
    }
    return magic == CipherManager::RESPONSE_MAGIC ? 0 : RECOVER_REKEY;
  }
  CipherInputStream& cipher() { return cipher_; }
  DataInputStream& data() { return data_; }

 private:
  CipherInputStream cipher_;
  DataInputStream data_;
};

}  // namespace

int Background::readPageResponse(InputStream* buffered, const String&) {
  DecryptedAnswer answer(buffered, owner_->getCipherManager().getCipher());
  int magic = answer.readMagic();
  if (magic != 0) return magic;
  try {
    char ignored[4];
    answer.data().readFully(ignored, 0, 4);
    ByteArrayOutputStream* copy = new ByteArrayOutputStream();
    TieInputStream tie(&answer.cipher(), copy);
    tie.setDeleteSource(false);
    PageResponseDecoder decoder(owner_);
    int decoded = decoder.decodePageResponse(page_.get(), &tie, true);
    if (decoded == 0) return -1;
    page_->data = new char[copy->size() > 0 ? copy->size() : 1];
    if (copy->size() > 0) std::memcpy(page_->data.get(), copy->toByteArray(), copy->size());
    page_->dataLength = copy->size();
    return 0;
  } catch (const Exception&) {
    Logger::debug(u"An error occurs on decodeHtml() retry connection."_s);
    return RECOVER;
  }
}

int Background::readBlockResponse(InputStream* buffered, const String&, int type) {
  DecryptedAnswer answer(buffered, owner_->getCipherManager().getCipher());
  int magic = answer.readMagic();
  if (magic != 0) return magic;
  int r = type == TYPE_IMAGES ? decodeImageBlock(&answer.data()) : decodeEmbeddedFiles(&answer.data());
  return r == 1 ? 0 : -1;
}

bool Background::upload(const std::vector<char>& data, int uploadId, int partIndex, bool bookmarks) {
  if (!bookmarks) owner_->setStatusText(Resource::getString(11004));
  QueryBuilder q(owner_);
  String url = q.sessionUrl();
  ByteArrayInputStream body(data.data(), 0, static_cast<int>(data.size()));
  if (bookmarks) favoriteUpload_ = true;
  int r = 1;
  for (int chunk = 0; r == 1 && !cancelled_; ++chunk)
    r = postRequest(TYPE_UPLOAD, url, uploadId, partIndex, chunk, &body);
  owner_->setStatusText(String());
  return r == 0;
}

void Background::uploadStep() {
  std::vector<std::vector<char>> files = owner_->takePendingUploads();
  int userId = owner_->getSetting(0);
  if (!files.empty()) {
    int id;
    do {
      id = static_cast<int>(Math::random() * 10000000);
    } while (id == INT32_MIN || id == userId);
    uploadId_ = id;
    for (size_t i = 0; i < files.size() && !cancelled_; ++i) upload(files[i], id, static_cast<int>(i), false);
  } else if (owner_->getFlags() & SessionCore::FLAG_BOOKMARKS_CHANGED) {
    std::vector<char> package = owner_->getUserDataPackage();
    owner_->setFlags(owner_->getFlags() & ~SessionCore::FLAG_BOOKMARKS_CHANGED);
    uploadId_ = userId;
    upload(package, userId, 0, true);
  }
}

void Background::runPageRequest() {
  uploadStep();
  if (cancelled_) return;
  QueryBuilder q(owner_);
  QueryBuilder::PageRequest request;
  request.url = url_;
  request.origin = origin_;
  request.baseUrl = baseUrl_;
  request.postData = postData_;
  request.charset = charset_;
  request.options = options_;
  request.uploadId = uploadId_;
  page_ = new Page();
  // Room for the page's items is asked for; the page comes either way.
  owner_->ensureFreeMemory(IMAGE_SLOT_FREE_BYTES);
  int sent = postRequest(TYPE_PAGE, q.buildPageQuery(request));
  // A challenge the user answered is sent again, with what was typed.
  for (int retry = 0;
       sent != 0 && retry < MAX_CREDENTIAL_RETRIES && !cancelled_ && owner_->takeCredentialRetry(); ++retry) {
    postCount_ = 0;
    page_ = new Page();
    sent = postRequest(TYPE_PAGE, q.buildPageQuery(request));
  }
  if (sent != 0) {
    owner_->setStatusText(String());
    return;
  }
  if (cancelled_) return;
  if (page_->url.isNull()) page_->url = url_;
  result_ = 0;
  owner_->onPageLoaded(page_, newPage_);
  pageShown_ = true;
  if (cancelled_) return;
  ImageTable& images = owner_->getImageTable();
  int flags = owner_->getFlags();
  if (images.blockCount > 0 && !(flags & SessionCore::FLAG_IMAGES_OFF))
    fetchImageBlocks();
  else
    owner_->setStatusText(String());
  if (!cancelled_ && images.fileCount > 0 && !(flags & SessionCore::FLAG_NO_FILES)) fetchEmbeddedFiles();
}

void Background::fetchImageBlocks() {
  SharedPtr<Page> page = kind_ == PAGE ? page_ : owner_->getCurrentPage();
  if (!page) return;
  page_ = page;
  owner_->setStatusText(Resource::getString(11002));
  QueryBuilder q(owner_);
  ImageTable& table = owner_->getImageTable();
  int announced = table.blockCount;
  int limit = imageBlockLimit(table);
  for (int b = 0; b < announced && !cancelled_ && !imagesComplete(table); ++b) {
    int wanted = table.decodedBytes < table.bytesTotal ? table.decodedBytes : table.bytesTotal;
    if (!owner_->ensureFreeMemory(wanted)) break;
    if (b >= limit) {
      owner_->queueMessage(Resource::getString(10002),
                           Resource::getString(11018, String(announced), String(b)));
      break;
    }
    int before = table.receivedBytes;
    postCount_ = 0;
    if (postRequest(TYPE_IMAGES, q.buildImageQuery(b, page->pageId, page->pageNo)) != 0 || cancelled_) break;
    owner_->repaint();
    // A block that brings nothing will not be followed by one that does.
    if (table.receivedBytes == before) break;
  }
  if (!cancelled_) owner_->setStatusText(String());
}

bool Background::imagesComplete(const ImageTable& table) {
  int count = table.imageCount();
  return count == 0 || table.receivedBytes >= table.offsets.elementAt(count);
}

int Background::imageBlockLimit(const ImageTable& table) {
  // Every block carries at least one byte of the image data the page announced.
  int count = table.imageCount();
  int bytes = count > 0 ? table.offsets.elementAt(count) : 0;
  return bytes < MAX_IMAGE_BLOCKS ? bytes : MAX_IMAGE_BLOCKS;
}

int Background::decodeImageBlock(InputStream* in) {
  ImageTable& table = owner_->getImageTable();
  int count = table.imageCount();
  if (count == 0) return 1;
  if (!page_->images) page_->images = new Vector<VectorV<char>*>(true);
  Vector<VectorV<char>*>& bytes = *page_->images;
  for (;;) {
    int i = 0;
    while (i < count && table.receivedBytes >= table.offsets.elementAt(i + 1)) ++i;
    if (i >= count) return 1;
    int start = table.offsets.elementAt(i);
    int size = table.offsets.elementAt(i + 1) - start;
    if (bytes.size() <= i && !owner_->ensureFreeMemory(IMAGE_SLOT_FREE_BYTES)) return 0;
    while (bytes.size() <= i) {
      VectorV<char>* slot = new VectorV<char>(1);
      bytes.addElement(slot);
    }
    VectorV<char>* image = bytes.elementAt(i);
    int held = table.receivedBytes - start;
    // The slot holds what arrived: an announced size is only a claim, so room
    // grows with the bytes, never to the claim at once.
    while (held < size) {
      if (cancelled_) {
        image->setSize(held);
        return 0;
      }
      if (image->size() <= held) {
        int room = held > IMAGE_GROWTH_BYTES ? held : IMAGE_GROWTH_BYTES;
        image->setSize(held + (size - held < room ? size - held : room));
      }
      int n = in->read(image->data(), held, image->size() - held);
      if (n <= 0) {
        image->setSize(held);
        return 1;  // the next block continues the image
      }
      held += n;
      table.receivedBytes += n;
    }
    if (i % 2 == 0) {
      int percent = (i + 1) * 100 / count;
      owner_->setStatusText(
          ((((((((Resource::getString(11012) + percent) + u"% ") + (i + 1)) + u"/") + count) + u"(") +
            table.receivedBytes / 1024) +
           u"/") +
          table.bytesTotal / 1024 + u"kbyte)");
    }
    if (i % 10 == 0) owner_->repaint();
    // Decoded once, when its last byte is in; the bytes stay for a re-show.
    owner_->decodePageImage(page_, i);
  }
}

void Background::fetchEmbeddedFiles() {
  owner_->setStatusText(Resource::getString(11016));
  QueryBuilder q(owner_);
  if (postRequest(TYPE_FILES, q.buildFileQuery(page_->pageId, page_->pageNo)) == 0 && !cancelled_) {
    owner_->repaint();
    owner_->setStatusText(String());
  }
}

int Background::decodeEmbeddedFiles(InputStream* source) {
  DataInputStream in(source);
  in.setDeleteSource(false);
  int n = in.readInt();
  if (n < 0 || n > MAX_EMBEDDED_FILES) throw Exception(Resource::getString(11017, String(n)));
  String dir = owner_->getDataDirectory();
  char buffer[1024];
  for (int f = 0; f < n && !cancelled_; ++f) {
    in.readUTF();
    String name = safeFileName(in.readUTF());
    int size = in.readInt();
    if (size < 0) throw Exception(Resource::getString(11017, String(size)));
    if (name.isNull()) name = u"embedded"_s;
    String path = dir + name;
    String temp = path + u".temp";
    bool complete = false;
    try {
      BufferedOutputStream out(new FileOutputStream(temp));
      int left = size;
      while (left > 0 && !cancelled_) {
        int got = in.read(buffer, 0, left < 1024 ? left : 1024);
        if (got <= 0) break;
        out.write(buffer, 0, got);
        left -= got;
      }
      out.close();
      complete = left == 0;
    } catch (const Exception&) {
      File(temp).doDelete();
      throw;
    }
    // A file that ended early or was cancelled is not kept half written.
    if (!complete) {
      File(temp).doDelete();
      if (cancelled_) return 0;
      throw Exception(Resource::getString(11017, String(size)));
    }
    if (f == n - 1) {
      BufferedOutputStream out(new FileOutputStream(path + u".param"));
      int got;
      while ((got = in.read(buffer, 0, 1024)) > 0) out.write(buffer, 0, got);
      out.close();
    }
    File(path).doDelete();
    File(path + u".temp").renameTo(File(path));
  }
  return 1;
}
