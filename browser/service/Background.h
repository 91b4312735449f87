#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/SharedPtr.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Thread.h"

class HttpConnection;
class InputStream;
class SessionCore;
struct ImageTable;

// One exchange with the rendering service on a thread of its own: a page
// request with its uploads, images and files (kind 0), the image blocks of
// the current page (1), the public-key fetch (2) or the key exchange (3).
class Background : public Thread {
 public:
  enum Kind { PAGE = 0, IMAGES = 1, KEY_FETCH = 2, KEY_EXCHANGE = 3 };
  enum Type {
    TYPE_PAGE = 0,
    TYPE_IMAGES = 1,
    TYPE_UPLOAD = 2,
    TYPE_KEY_FETCH = 3,
    TYPE_KEY_EXCHANGE = 4,
    TYPE_FILES = 5
  };
  enum Option {
    OPT_NEW_SLOT = 0x01,
    OPT_ROFF = 0x02,
    OPT_RL = 0x04,
    OPT_AU = 0x08,
    OPT_STATS = 0x10,
    OPT_GG = 0x20
  };
  static const int CHUNK_BYTES = 80896;
  static const int MAX_POSTS = 6;
  // The most image blocks one page may ask for, whatever the service announces.
  static const int MAX_IMAGE_BLOCKS = 4096;
  // The first room an image's bytes get; it doubles as they arrive.
  static const int IMAGE_GROWTH_BYTES = 64 * 1024;
  // Free memory demanded before the bytes of a new image are taken in.
  static const int IMAGE_SLOT_FREE_BYTES = 921600;
  // Times one page request is sent again after the user typed credentials.
  static const int MAX_CREDENTIAL_RETRIES = 3;
  // Defaults of "service.timeout.idle" (longest wait for the next bytes of an
  // answer) and "service.timeout.request" (longest exchange), in ms.
  static const int DEFAULT_IDLE_TIMEOUT_MS = 30000;
  static const int DEFAULT_REQUEST_TIMEOUT_MS = 120000;

  // A page request (kind 0).
  Background(SessionCore* owner, const String& url, const String& origin, const String& baseUrl, bool newPage,
             const String& postData, const String& charset, int options);
  // A worker of kind 1, 2 or 3.
  Background(SessionCore* owner, int kind);
  ~Background() override;

  void run() override;

  // One POST: -1 failure or refusal, 0 success, 1 (uploads) a full chunk
  // went and more may follow; a key exchange gives its answer's code.
  int postRequest(int type, const String& url, int uploadId = 0, int partIndex = 0, int chunkIndex = 0,
                  InputStream* body = nullptr);
  // The key exchange: up to three POSTs, stopping at the first accepted.
  bool exchangeKey();
  bool fetchPublicKey();

  void setCancelled() { cancelled_ = true; }
  bool isCancelled() const { return cancelled_; }
  // Shuts the connection in progress down (from the interface thread).
  void closeConnection();
  int getKind() const { return kind_; }
  // The page request's URL (null: the home page) and the address it is
  // made absolute against (base URL, else origin).
  const String& getUrl() const { return url_; }
  const String& getReferrer() const { return baseUrl_.isNull() ? origin_ : baseUrl_; }
  int getPostCount() const { return postCount_; }
  void setPostCount(int n) { postCount_ = n; }
  const SharedPtr<Page>& getPage() const { return page_; }
  // The upload id sent as fs, 0 when no upload took place.
  int getUploadId() const { return uploadId_; }
  void setFavoriteUpload(bool on) { favoriteUpload_ = on; }
  // How many blocks the announced image data can fill, at most MAX_IMAGE_BLOCKS.
  static int imageBlockLimit(const ImageTable& table);
  // The result of the page request: -1 failed, 0 succeeded.
  int getResult() const { return result_; }
  // True once the worker's work is for the page on screen: its page request
  // made the page current, or it fetches the images of the current page.
  bool isForPageOnScreen() const { return kind_ == IMAGES || pageShown_; }

 private:
  void runPageRequest();
  // Sends data as an upload part; false when it stopped early.
  bool upload(const std::vector<char>& data, int uploadId, int partIndex, bool bookmarks);
  void uploadStep();
  int recover(const String& query, int type, bool rekey);
  // The response stacks of each type; result as postRequest's.
  int readPageResponse(InputStream* buffered, const String& query);
  int readBlockResponse(InputStream* buffered, const String& query, int type);
  void fetchImageBlocks();
  void fetchEmbeddedFiles();
  int decodeImageBlock(InputStream* in);
  static bool imagesComplete(const ImageTable& table);
  int decodeEmbeddedFiles(InputStream* in);
  void releaseConnection();

  SessionCore* owner_;  // not owned
  int kind_;
  String url_, origin_, baseUrl_;
  bool newPage_;
  std::atomic<bool> cancelled_;
  std::mutex connectionLock_;   // guards connection_ against closeConnection
  HttpConnection* connection_;  // owned
  SharedPtr<Page> page_;
  String postData_, charset_;
  bool favoriteUpload_;
  int postCount_;
  int options_;
  int uploadId_;
  int result_;
  std::atomic<bool> pageShown_;
};
