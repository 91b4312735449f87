#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/page/BrowsingWindows.h"
#include "browser/page/FontMetrics.h"
#include "browser/page/Page.h"
#include "browser/page/PageImages.h"
#include "browser/page/SharedPtr.h"
#include "browser/service/CookieStore.h"
#include "browser/service/ImageTable.h"
#include "browser/service/ResponseHost.h"
#include "browser/service/SessionValues.h"
#include "browser/shell/DownloadHandOver.h"
#include "browser/store/BookmarkHost.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"

class Background;
class CipherManager;
class DialupManager;
class Image;
class InputStream;
class MediaImage;
class ReflowHost;
class ReflowLayout;
class SessionDialogs;
class SessionView;
class StoreErrorReport;
class UserDataPackage;

// The part of the main canvas that the service channel works with: the
// stores, the session key, the session values and image table, the page on
// screen with its decoded images, the browser windows and their histories,
// and the status text and messages the window shows. Workers call it from
// their thread; the interface thread owns it.
class SessionCore : public ResponseHost, public BookmarkHost {
 public:
  struct Message {
    String title;
    String text;
  };
  // The canvas's credential-dialog state.
  enum DialogState { DIALOG_UNSET = 0, DIALOG_CONFIRMED = 1, DIALOG_CANCELLED = 2 };
  static const int FLAG_IMAGES_OFF = 0x1;
  static const int FLAG_BOOKMARKS_CHANGED = 0x800;
  static const int FLAG_NO_FILES = 0x8000000;
  static const int FLAG_REFLOW = 0x40000;

  // report (not owned, may be null) hears of store faults; storage names the
  // scratchpad file of the record store.
  explicit SessionCore(StoreErrorReport* report = nullptr, const String& storage = u"0"_s);
  ~SessionCore() override;
  SessionCore(const SessionCore&) = delete;
  SessionCore& operator=(const SessionCore&) = delete;

  // The dial-up step: true once the data connection is up.
  bool bringUpConnection();
  // Session set-up; 1 when the session is ready.
  int startSession(bool firstStart);

  // Cancels any worker, then starts a page request; url empty: home page.
  void startPageRequest(const String& url, const String& origin = String(), const String& baseUrl = String(),
                        bool newPage = true, const String& postData = String(),
                        const String& charset = String(), int options = 0);
  // Starts a worker of another kind (see Background): the canvas owns it.
  void startWorker(Background* worker);
  // Waits at most ms for the running worker; true when none runs.
  bool waitForWorker(int ms);
  // Stops the running worker: cancel flag, 500 ms, connection closed, 1000 ms.
  void cancel();
  Background* getWorker() const { return worker_.get(); }

  // "http://host:port/br/wm", from "service.host" and "service.port".
  String getEndpoint();
  // ";jsessionid=" and the id, or empty.
  String getSessionPart();

  RecordStore& getStore() { return store_; }
  // The user's bookmarks, loaded from the store with the session.
  Bookmarks& getBookmarks() { return bookmarks_; }
  // After a user edit of the list, once the caller has saved it: marks it
  // changed and builds the user-data package anew, so that the next page
  // request uploads it (and says once that the list was emptied).
  void bookmarksChanged();
  // The interface thread: a newer list that the service sent replaces the
  // local one and is saved. False when none was waiting; the canvas then has
  // no open list to rebuild.
  bool applyServiceBookmarks();
  // The user's data as a backup picture. Throws an Exception with message
  // 10191 when it cannot be made.
  std::vector<char> makeBackupPicture();
  // Reads a backup picture (the stream is not owned) and keeps its package
  // for restoreBackup(); returns what it holds as UserDataPackage::FOUND_*
  // bits. Throws an Exception with message 10192 or 10193.
  int openBackup(InputStream& picture);
  // Stores the chosen sections of the package openBackup() kept (the list
  // as an edit of the user's); the bits applied, 0 without a package.
  int restoreBackup(int chosenBits);
  CipherManager& getCipherManager() { return *cipher_; }
  DialupManager& getDialupManager() { return *dialup_; }
  // The window (not owned); null without one (the text dump).
  void setView(SessionView* view) { view_ = view; }
  // Where the service's downloads go (the window's DownloadHandOver::through); without one they
  // go to the view.
  void setDownloadChannel(DownloadHandOver::Channel channel) { downloadChannel_ = std::move(channel); }
  // The window's dialogs (not owned); null: notices stay queued, questions
  // are answered "no" and a credential request becomes a queued message.
  void setDialogs(SessionDialogs* dialogs) { dialogs_ = dialogs; }

  // The page on screen; empty before the first page.
  SharedPtr<Page> getCurrentPage();
  // The current window's history size.
  int getHistorySize();
  // Called by a page request that succeeded: the page becomes current and
  // enters the current window's history (a new entry, or in place of the
  // entry on screen when newPage is false).
  void onPageLoaded(const SharedPtr<Page>& page, bool newPage);

  // Held while the page on screen, its item lists or its images change and
  // while the window draws them.
  std::mutex& pageLock() { return pageLock_; }
  // Decoded image index of the page on screen, or null; the caller holds
  // pageLock() for as long as it uses the image.
  Image* pageImage(int index);
  int pageImageCount();
  // A copy of the encoded picture index of the page on screen (owned by the caller), or null.
  MediaImage* copyPageMediaImage(int index);
  // Decodes the arrived bytes of image index of page (the worker, once an
  // image is complete) into its slot when page is on screen; an image that
  // would pass the page's image memory limit is dropped with its bytes.
  // False when it is not kept.
  bool decodePageImage(const SharedPtr<Page>& page, int index);

  BrowsingWindows& getWindows() { return windows_; }
  // The window list of the store (record 30740), its current window's page
  // made the page on screen (shown by reshowCachedPage); false when none.
  bool restoreWindows();
  void saveWindows();
  // Back (-1), forward (+1) or the entry on screen again (0) in the current
  // window; a request that is running is cancelled.
  void historyStep(int offset);
  // Shows the page on screen again from its kept description and image
  // bytes, without a request; a page without them is requested again.
  void reshowCachedPage();
  // True when bytes are free, after giving back the kept descriptions and
  // image bytes of other windows' pages first, then of the current window's
  // pages; the page on screen keeps its own.
  bool ensureFreeMemory(int64_t bytes);
  // Where ensureFreeMemory asks how much is free (tests); empty: the
  // system's.
  void setFreeMemorySource(std::function<int64_t()> source) { freeMemory_ = std::move(source); }
  // The zoom of the window: recorded in a page that is left, and the scale
  // of the pointer of a page that is shown.
  void setZoom(int zoom) { zoom_ = zoom; }
  int getZoom() const { return zoom_; }

  // Reflow mode (canvas flag bit 18 is the truth). The layout of the page on
  // screen, null when reflow is off or no page is shown; valid under
  // pageLock().
  ReflowLayout* reflowLayout();
  // On: sets the flag and lays the page on screen out anew; off: clears it,
  // drops the layout and cleans the page's items. Pages parsed while it is on
  // get their layout during the parse; without a reflow host there is none.
  void setReflowMode(bool on);
  // What layouts measure with: the canvas's fonts, flags and view (not
  // owned); set before the first request. Called from the parsing thread
  // too, and with pageLock() held.
  void setReflowHost(ReflowHost* host) { reflowHost_ = host; }

  // The page y of the first anchor of the page on screen named like the
  // fragment (the text after the first '#' when there is one), letter case
  // ignored; -1 when none. x, when given, receives its x. In reflow mode
  // the anchors of the layout are searched (y in the layout's pixels).
  int findAnchor(const String& fragment, int* x = nullptr);
  // Whether following url from the page on screen needs no request (a
  // fragment of the same page); frameUrl is the link's frame URL, if any.
  bool isSamePageLink(const String& url, const String& frameUrl = String());
  // Enters the page on screen in the visited list (record 30760) under the
  // header of dateText, today's date as the window shows it.
  void recordVisit(const String& dateText);
  // A new window (the oldest replaced when all sixteen exist) loading url.
  void openInNewWindow(const String& url);
  // The same window, empty and current, for a request the caller starts.
  void openWindow();
  // Closes window index unless it is the only one; when the current window
  // changes, its page is shown.
  void closeWindow(int index);

  String getStatusText();
  std::vector<Message> getMessages();
  void clearMessages();
  void queueMessage(const String& title, const String& text);
  // The interface thread, when it paints: the queued messages go to the
  // dialogs one by one, oldest first; false when none was waiting or there
  // are no dialogs.
  bool showQueuedMessages();

  // Canvas inputs of the query, measured by the window once it has fonts.
  void setOffscreenWidth(int w) { offscreenWidth_ = w; }
  int getOffscreenWidth() const { return offscreenWidth_; }
  void setFontMetrics(const FontMetrics& metrics) { metrics_ = metrics; }
  const FontMetrics& getFontMetrics() const { return metrics_; }
  // The 851-character table for a font given by its character widths.
  static String makeCharWidthTable(int (*charWidth)(char16_t));
  void setTransparentColor(bool on) { transparentColor_ = on; }
  bool hasTransparentColor() const { return transparentColor_; }

  // Credentials of record 30756 for a request URL made absolute against base.
  bool findUrlCredentials(const String& url, const String& base, String* user, String* password,
                          String* scheme);
  int getDialogState() const { return dialogState_; }
  void setDialogState(int state) { dialogState_ = state; }
  // The user's answer to the credential dialog: on OK the typed pair is
  // kept for the next request and stored for the challenged address.
  void answerCredentials(bool ok, const String& user, const String& password);
  // True once after a confirmed credential dialog: the request that was
  // challenged is sent again.
  bool takeCredentialRetry();

  // Files of a form submission waiting for upload (the form's file fields).
  void addPendingUpload(const std::vector<char>& data);
  std::vector<std::vector<char>> takePendingUploads();
  // The user-data package, wrapped in its picture, that the bookmark upload
  // sends.
  void setUserDataPackage(const std::vector<char>& data);
  std::vector<char> getUserDataPackage();

  // Time of the last automatic "st" request (canvas creation at first).
  int64_t lastStatsTime() const { return lastStatsTime_; }
  void setLastStatsTime(int64_t t) { lastStatsTime_ = t; }
  // Where embedded files go.
  String getDataDirectory();

  // ResponseHost and PageParserHost.
  bool isCancelled() override;
  void setStatusText(const String& text) override;
  void repaint() override;
  void setPageExtent(int width, int height) override;
  int getViewWidth() override { return offscreenWidth_; }
  int getViewHeight() override { return viewHeight_; }
  int getInterfaceLineHeight() override { return metrics_.lineHeight; }
  bool isReflowMode() override;
  void beginReflowLayout(Page* page) override;
  void addReflowItem(RenderItem* item) override;
  void endReflowLayout() override;
  SessionValues& getSessionValues() override { return session_; }
  ImageTable& getImageTable() override { return images_; }
  CookieStore& getCookieStore() override { return cookies_; }
  bool isMenuMode() override;
  int getFlags() override;
  void setFlags(int flags) override;
  void reloadSettings() override;
  int getSetting(int entry) override;
  void setSetting(int entry, int value) override;
  void saveSettings() override;
  int getBookmarkCount() override;
  // The worker: keeps the service's list for the interface thread, which may
  // be showing the local one (applyServiceBookmarks).
  void replaceBookmarks(const VectorV<String>& bookmarks) override;
  // BookmarkHost (the flag word is ResponseHost's too).
  RecordStore* getRecordStore() override { return &store_; }
  void findCredentials(const String& realm, String* user, String* password) override;
  void queueInformation(const String& title, const String& text) override;
  void openCredentialDialog(const String& prompt, const String& user, const String& password) override;
  bool askYesNo(const String& title, const String& text) override;
  void launchProgram(int launchType, const String& argument) override;
  void terminate() override;
  void launchDownload(const String& url, const String& referrer, const String& cookies) override;
  String getCurrentPageUrl() override;
  void clearDecodedImages() override;

  int getRepaintCount() const { return repaints_; }
  int getPageWidth() const { return pageWidth_; }
  int getPageHeight() const { return pageHeight_; }
  // Milliseconds the connection may take to come up.
  void setConnectTimeout(int ms) { connectTimeout_ = ms; }

 private:
  bool runSessionWorker(int kind, int ms);
  // Makes page the page on screen; pageLock_ held.
  void makeCurrentLocked(const SharedPtr<Page>& page);
  // Gives the page on screen a layout when reflow is on, or takes it away
  // when it is off; pageLock_ held.
  void matchLayoutLocked();
  int64_t freeMemory();
  // Builds the upload's package from the store and the list.
  void rebuildUserData();
  // True on the thread that parses a kept description again: the answer's
  // commands and account values were acted on when it first came.
  bool replaying() const { return replayThread_.load() == std::this_thread::get_id(); }

  RecordStore store_;
  CookieStore cookies_;
  Bookmarks bookmarks_;
  AutoPtr<CipherManager> cipher_;
  AutoPtr<DialupManager> dialup_;
  SessionValues session_;
  ImageTable images_;
  AutoPtr<Background> worker_;

  DownloadHandOver::Channel downloadChannel_;
  SessionView* view_;                 // not owned
  ReflowHost* reflowHost_ = nullptr;  // not owned
  SessionDialogs* dialogs_;           // not owned
  std::mutex pageLock_;
  SharedPtr<Page> current_;
  BrowsingWindows windows_;
  PageImages pageImages_;
  std::function<int64_t()> freeMemory_;
  int zoom_;
  std::atomic<bool> credentialRetry_;
  std::atomic<std::thread::id> replayThread_;

  std::mutex messageLock_;
  String status_;
  std::vector<Message> messages_;

  int offscreenWidth_, viewHeight_;
  FontMetrics metrics_;
  bool transparentColor_;
  int dialogState_;
  std::vector<std::vector<char>> pendingUploads_;
  // The service's newer list until the interface thread applies it; null when none.
  std::unique_ptr<VectorV<String>> serviceBookmarks_;
  std::mutex serviceBookmarksLock_;
  // The list's node count for the worker, kept by the interface thread.
  std::atomic<int> bookmarkCount_{0};
  std::vector<char> userData_;  // under messageLock_
  std::unique_ptr<UserDataPackage> backup_;
  int64_t lastStatsTime_;
  int pageWidth_, pageHeight_;
  int repaints_;
  int connectTimeout_;
};
