#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/SharedPtr.h"
#include "browser/page/Stack.h"
#include "browser/service/CookieStore.h"
#include "browser/service/ImageTable.h"
#include "browser/service/ResponseHost.h"
#include "browser/service/SessionValues.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"

class Background;
class CipherManager;
class DialupManager;
class StoreErrorReport;

// The part of the main canvas that the service channel works with: the
// stores, the session key, the session values and image table, the current
// page and its history, and the status text and messages the window shows.
// Workers call it from their thread; the interface thread owns it.
class SessionCore : public ResponseHost {
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
  CipherManager& getCipherManager() { return *cipher_; }
  DialupManager& getDialupManager() { return *dialup_; }
  SharedPtr<Page> getCurrentPage();
  int getHistorySize();
  // Called by a page request that succeeded.
  void onPageLoaded(const SharedPtr<Page>& page, bool newPage);

  String getStatusText();
  std::vector<Message> getMessages();
  void clearMessages();
  void queueMessage(const String& title, const String& text);

  // Canvas inputs of the query, measured by the window once it has fonts.
  void setOffscreenWidth(int w) { offscreenWidth_ = w; }
  int getOffscreenWidth() const { return offscreenWidth_; }
  void setFontMetrics(int fa, int fb, int fh, int fw);
  int fontAscent() const { return fa_; }
  int fontDescent() const { return fb_; }
  int interfaceFontHeight() const { return fh_; }
  int wideCharWidth() const { return fw_; }
  void setCharWidthTable(const String& cw) { charWidths_ = cw; }
  const String& getCharWidthTable() const { return charWidths_; }
  // The 851-character table for a font given by its character widths.
  static String makeCharWidthTable(int (*charWidth)(char16_t));
  void setTransparentColor(bool on) { transparentColor_ = on; }
  bool hasTransparentColor() const { return transparentColor_; }

  // Credentials of record 30756 for a request URL made absolute against base.
  bool findUrlCredentials(const String& url, const String& base, String* user, String* password,
                          String* scheme);
  int getDialogState() const { return dialogState_; }
  void setDialogState(int state) { dialogState_ = state; }

  // Files of a form submission waiting for upload (the form's file fields).
  void addPendingUpload(const std::vector<char>& data);
  std::vector<std::vector<char>> takePendingUploads();
  // The user-data package sent when the bookmark list changed.
  void setUserDataPackage(const std::vector<char>& data) { userData_ = data; }
  const std::vector<char>& getUserDataPackage() const { return userData_; }

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
  int getInterfaceLineHeight() override { return fh_; }
  bool isReflowMode() override { return false; }
  void beginReflowLayout() override {}
  void addReflowItem(RenderItem*) override {}
  void endReflowLayout() override {}
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
  int getBookmarkCount() override { return 0; }
  void replaceBookmarks(const VectorV<String>& bookmarks) override;
  void findCredentials(const String& realm, String* user, String* password) override;
  void queueInformation(const String& title, const String& text) override;
  void openCredentialDialog(const String& prompt, const String& user, const String& password) override;
  bool askYesNo(const String& title, const String& text) override;
  void launchProgram(int launchType, const String& argument) override;
  void terminate() override;
  void launchDownload(const String& url, const String& referrer, const String& cookies) override;
  String getCurrentPageUrl() override;
  void clearDecodedImages() override {}

  int getRepaintCount() const { return repaints_; }
  int getPageWidth() const { return pageWidth_; }
  int getPageHeight() const { return pageHeight_; }
  // Milliseconds the connection may take to come up.
  void setConnectTimeout(int ms) { connectTimeout_ = ms; }

 private:
  bool runSessionWorker(int kind, int ms);

  RecordStore store_;
  CookieStore cookies_;
  AutoPtr<CipherManager> cipher_;
  AutoPtr<DialupManager> dialup_;
  SessionValues session_;
  ImageTable images_;
  AutoPtr<Background> worker_;

  std::mutex pageLock_;
  SharedPtr<Page> current_;
  Stack<SharedPtr<Page>*> history_;

  std::mutex messageLock_;
  String status_;
  std::vector<Message> messages_;

  int offscreenWidth_, viewHeight_;
  int fa_, fb_, fh_, fw_;
  String charWidths_;
  bool transparentColor_;
  int dialogState_;
  std::vector<std::vector<char>> pendingUploads_;
  std::vector<char> userData_;
  int64_t lastStatsTime_;
  int pageWidth_, pageHeight_;
  int repaints_;
  int connectTimeout_;
};
