#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "downloader/TransferListener.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Thread.h"

class DownloadItem;
class DownloadTransfer;
class Window;

// Fetches one queued item on a thread of its own and carries it to its end: in save mode into a
// temporary file of the data folder, which moves to the name the user chose; in update mode into
// the program directory, where it is opened, waited for, deleted, and the program that asked for
// the update is started again. Every end (success, failure, cancellation) finishes the item
// through the host, once.
class DownloadWorker : public Thread, private TransferListener {
 public:
  // What the worker needs of the window that runs it; called on the worker's thread.
  class Host {
   public:
    virtual ~Host() = default;
    virtual bool isSaveMode() const = 0;
    // The program to start after an update; empty for none.
    virtual String getRestartProgram() const = 0;
    // Where temporary files go; empty when the folder cannot be made.
    virtual String getDataDirectory() const = 0;
    // The program directory, with its trailing separator.
    virtual String getProgramDirectory() const = 0;
    // The owner of the worker's dialogs (may be null).
    virtual const Window* getDialogOwner() const = 0;
    // The response headers of the item arrived (its suggested name is set).
    virtual void nameArrived() = 0;
    // The item's numbers changed: repaint. A chunk's change may wait for the next (latest false); the
    // headers' and the end's may not.
    virtual void progressed(bool latest) = 0;
    // The item is done with, in any way: take it off the queue and go on with the next.
    virtual void itemFinished(DownloadItem* item) = 0;
  };

  enum Result { RUNNING = 0, SUCCEEDED = 1, FAILED = -1 };
  // How often the waits for the chosen name and for a deletable file look again.
  static const int POLL_MS = 500;

  // item stays owned by the queue; the host outlives the worker.
  DownloadWorker(Host* host, DownloadItem* item);
  ~DownloadWorker() override;

  void run() override;
  // From the interface thread: stops the transfer (a blocked read wakes) and the waits.
  void cancel();
  bool isCancelled() const { return cancelled_; }
  // RUNNING, SUCCEEDED or FAILED.
  int getResult() const { return result_; }
  DownloadItem* getItem() const { return item_; }
  // The local file of the transfer; empty before it was chosen.
  String getPath() const;

  // A name for a new temporary file in directory: the integer part of a random number below 10^9,
  // one that names no file there yet.
  static String newTemporaryPath(const String& directory);
  // Moves from to to: a rename, or a copy and a delete across file systems. False when neither
  // worked (from then stays where it was).
  static bool moveFile(const String& from, const String& to);

 private:
  void headersArrived(const String& suggestedName, int64_t totalLength) override;
  void progressed(int64_t received) override;

  String choosePath();
  // Runs the transfer; true when the whole file is there.
  bool transfer(const String& path);
  void finishUpdate(const String& path);
  void finishSave(const String& path);
  // A message box, left out once the worker is cancelled: the window may be going.
  int show(int type, const String& caption, const String& text);
  void finish();

  Host* host_;
  DownloadItem* item_;  // owned by the queue until finish() hands it back
  std::atomic<bool> cancelled_{false};
  std::atomic<int> result_{RUNNING};
  mutable std::mutex lock_;                     // guards transfer_ and path_ for cancel() and getPath()
  std::unique_ptr<DownloadTransfer> transfer_;  // while one runs
  String path_;
};
