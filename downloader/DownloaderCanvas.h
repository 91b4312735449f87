#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "downloader/DownloadWorker.h"
#include "vwt/lang/LockObject.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"
#include "vwt/ui/Frame.h"

class Application;
class DialupManager;
class DownloadItem;
class ItemBlockPainter;
class ShortTimer;

// The download program's window: it owns the queue of downloads and runs them one after another,
// each on a worker of its own, showing every queued item's progress. In save mode it asks where
// each file goes while the file arrives; in update mode it fetches a new version of the browser.
class DownloaderCanvas : public Frame, private DownloadWorker::Host {
 public:
  enum Mode { UPDATE_MODE = 0, SAVE_MODE = 1 };
  enum PaintStage { BEFORE_FIRST_PAINT = 0, PAINTED = 2 };
  static const int TIMER_ID = 1;
  static const int TIMER_MS = 50;
  // Progress repaints at most this often: one for every 4 KB chunk would keep the interface thread
  // painting as fast as the network delivers.
  static const int PROGRESS_PAINT_MS = 100;
  // The network gets this many seconds to come up.
  static const int CONNECT_SECONDS = 60;
  // The product's version on the splash line.
  static const char16_t VERSION[];

  // Registers with application as its main frame, in save mode with an empty queue.
  DownloaderCanvas(Application* application, const String& title);
  ~DownloaderCanvas() override;

  // The command line: "/D" (save mode) or anything else (update mode), the item, then the update's
  // restart program or the item's referer and cookie.
  void takeArguments(const Application& application);
  int getMode() const { return mode_; }
  void setMode(int mode) { mode_ = mode; }
  String getRestartProgram() const override { return restartProgram_; }
  void setRestartProgram(const String& program) { restartProgram_ = program; }
  // Appends item (owned from now on) to the queue.
  void addItem(DownloadItem* item);
  int getQueueSize() const;
  // The queued item at i (owned by the queue), null outside it.
  const DownloadItem* getItem(int i) const;
  int getPaintStage() const { return paintStage_; }

  // The folder of the temporary files.
  static String dataDirectory();
  // A short message's bytes as the item text they carry: UTF-16 (little-endian) units up to the first
  // NUL; null for an odd length, no text or more than an address could need.
  static String itemText(const char* data, int length);

  void onPaint(Graphics* g) override;
  // The window takes no keys.
  void onKeyPressed(int key) override { (void)key; }
  void onTimerExpired(int timerId) override;
  // A further download from the browser joins the queue (in save mode).
  bool onShortMessage(Window* sender, const char* data, int length) override;
  bool onClose() override;
  void onCreate() override;

 private:
  // DownloadWorker::Host, on the worker's thread.
  bool isSaveMode() const override { return mode_ == SAVE_MODE; }
  String getDataDirectory() const override;
  String getProgramDirectory() const override;
  const Window* getDialogOwner() const override { return this; }
  void nameArrived() override;
  void progressed(bool latest) override;
  void itemFinished(DownloadItem* item) override;

  void paintSplash(Graphics* g);
  void paintQueue(Graphics* g);
  // Brings the network up; false when the program is ending because it could not.
  bool connect();
  // Starts the worker of the queue's first item; in save mode the save dialog follows once its
  // headers are in.
  void startNext();
  void startTimer();
  // One turn of the timer: connect first, then the save dialog once the headers are in, then the
  // next item when the worker has ended, or the end of the program when the queue is empty.
  void step();
  // Asks where the current item goes; false when the user cancelled.
  bool runSaveDialog();
  // Stops a running worker and waits for it, serving what it asks of this thread meanwhile.
  void stopWorker();
  // Empties the data folder except what a later run may continue: the partial file of the transfer
  // the closing window cut short, those of the items still queued, and their resume records.
  void deleteTemporaryFiles();

  int paintStage_ = BEFORE_FIRST_PAINT;
  int mode_ = SAVE_MODE;
  String restartProgram_;
  DownloadWorker* worker_ = nullptr;           // owned; the current transfer's, null when none
  Vector<DownloadItem*> queue_;                // owns the items; its lock is the canvas's lock
  ShortTimer* timer_ = nullptr;                // owned
  DialupManager* dialupManager_;               // owned
  std::atomic<bool> nameKnown_{false};         // set by the worker when its item's headers arrived
  std::atomic<int64_t> lastProgressPaint_{0};  // System::currentTimeMillisBoot() of the last one
  bool awaitingName_ = false;                  // the save dialog waits for the current item's headers
  bool stepping_ = false;                      // a timer step is running (its dialogs pump messages)
  bool closing_ = false;
  bool connectTried_ = false;
  bool created_ = false;  // this process's window exists: the data folder is its to clean
  String keptPartial_;    // the partial file of a transfer the closing window cut short
  std::unique_ptr<ItemBlockPainter> painter_;
};
