#include "downloader/DownloadWorker.h"

#include "downloader/DownloadItem.h"
#include "downloader/DownloadTransfer.h"
#include "downloader/ResumeRecord.h"
#include "downloader/SafeFileName.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Math.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/URL.h"
#include "vwt/ui/Dialog.h"
#include "vwt/ui/Window.h"

namespace {

const int NO_FOLDER_CAPTION = 21000, NO_FOLDER_TEXT = 21001;
const int FAILED_CAPTION = 21002;
const int UPDATE_CAPTION = 21003, UPDATE_TEXT = 21004;
const int SAVED_CAPTION = 21005, SAVED_TEXT = 21006;
const int TRANSFER_FAILED_TEXT = 21007;
const int NOT_MOVED_TEXT = 21022;

const int COPY_CHUNK = 4096;

// Copies from to to; false (and no file at to) when a read or write fails.
bool copyFile(const String& from, const String& to) {
  try {
    FileInputStream in(from);
    FileOutputStream out(to);
    char buffer[COPY_CHUNK];
    for (int n; (n = in.read(buffer, 0, COPY_CHUNK)) > 0;) out.write(buffer, 0, n);
    out.close();
    return true;
  } catch (const Exception&) {
    File(to).doDelete();
    return false;
  }
}

}  // namespace

DownloadWorker::DownloadWorker(Host* host, DownloadItem* item) : host_(host), item_(item) {}

DownloadWorker::~DownloadWorker() = default;

void DownloadWorker::cancel() {
  cancelled_ = true;
  std::lock_guard<std::mutex> g(lock_);
  if (transfer_) transfer_->cancel();
}

String DownloadWorker::getPath() const {
  std::lock_guard<std::mutex> g(lock_);
  return path_;
}

String DownloadWorker::newTemporaryPath(const String& directory) {
  for (;;) {
    String path = directory + String(static_cast<int>(Math::random() * 1000000000.0));
    if (!File::exists(path) && !File::exists(ResumeRecord::pathFor(path))) return path;
  }
}

bool DownloadWorker::moveFile(const String& from, const String& to) {
  if (File(from).renameTo(File(to))) return true;
  if (!copyFile(from, to)) return false;
  File(from).doDelete();
  return true;
}

String DownloadWorker::choosePath() {
  if (host_->isSaveMode()) {
    String directory = host_->getDataDirectory();
    if (directory.isNull()) return String();
    // A transfer of the same address that an earlier run left unfinished goes on where it stopped.
    String partial = ResumeRecord::findPartial(directory, item_->getUrl());
    return partial.isNull() ? newTemporaryPath(directory) : partial;
  }
  // A name from the network stays inside the program directory.
  String name;
  try {
    name = SafeFileName::clean(URL(item_->getUrl()).getFileName());
  } catch (const Exception&) {
    return String();
  }
  return name.isNull() ? String() : host_->getProgramDirectory() + name;
}

void DownloadWorker::run() {
  String path;
  try {
    path = choosePath();
    if (path.isNull()) {
      result_ = FAILED;
      show(Dialog::TYPE_ERROR, Resource::getString(NO_FOLDER_CAPTION), Resource::getString(NO_FOLDER_TEXT));
      finish();
      return;
    }
    {
      std::lock_guard<std::mutex> g(lock_);
      path_ = path;
    }
    if (!transfer(path)) {
      finish();
      return;
    }
    if (host_->isSaveMode())
      finishSave(path);
    else
      finishUpdate(path);
  } catch (const Exception& e) {
    Logger::getLogger()->log(Logger::ERROR, e.toString());
    result_ = FAILED;
    show(Dialog::TYPE_ERROR, Resource::getString(FAILED_CAPTION),
         Resource::getString(TRANSFER_FAILED_TEXT, item_->getUrl()));
  }
  {
    std::lock_guard<std::mutex> g(lock_);
    transfer_.reset();
  }
  finish();
}

bool DownloadWorker::transfer(const String& path) {
  {
    std::lock_guard<std::mutex> g(lock_);
    transfer_.reset(new DownloadTransfer(item_->getUrl(), item_->getReferer(), item_->getCookie(), path));
    transfer_->setListener(this);
  }
  if (cancelled_) {
    result_ = FAILED;
    return false;
  }
  DownloadTransfer::Outcome outcome = transfer_->run();
  item_->setReceived(transfer_->getReceived());
  host_->progressed(true);
  if (outcome == DownloadTransfer::DONE && !cancelled_) return true;
  result_ = FAILED;
  if (outcome == DownloadTransfer::HTTP_ERROR) {
    String caption = Resource::getString(FAILED_CAPTION);
    show(Dialog::TYPE_ERROR, caption,
         (caption + u" ") + String(transfer_->getStatusCode()) + u" " + transfer_->getReasonPhrase());
    // An error page is no part of the file: a temporary file goes with it.
    if (host_->isSaveMode()) {
      File(path).doDelete();
      ResumeRecord::remove(path);
    }
  }
  return false;
}

void DownloadWorker::finishUpdate(const String& path) {
  show(Dialog::TYPE_INFORMATION, Resource::getString(UPDATE_CAPTION), Resource::getString(UPDATE_TEXT));
  Process::openFile(host_->getDialogOwner(), path, true);
  // The opened installer may still hold the file for a moment.
  while (File::exists(path) && !File(path).doDelete()) {
    if (cancelled_) {
      result_ = FAILED;
      return;
    }
    Thread::sleep(POLL_MS);
  }
  String restart = host_->getRestartProgram();
  if (restart.length() > 0) AutoPtr<Process> started(ProcessBuilder(restart).start());
  result_ = SUCCEEDED;
}

void DownloadWorker::finishSave(const String& path) {
  String target;
  while ((target = item_->getSavePath()).isNull()) {
    if (cancelled_) {
      result_ = FAILED;
      return;
    }
    Thread::sleep(POLL_MS);
  }
  if (!moveFile(path, target)) {
    result_ = FAILED;
    show(Dialog::TYPE_ERROR, Resource::getString(FAILED_CAPTION),
         Resource::getString(NOT_MOVED_TEXT, target));
    return;
  }
  ResumeRecord::remove(path);
  if (show(Dialog::TYPE_YES_NO, Resource::getString(SAVED_CAPTION),
           Resource::getString(SAVED_TEXT, target)) == Dialog::RESULT_YES)
    Process::openFile(host_->getDialogOwner(), target, false);
  result_ = SUCCEEDED;
}

int DownloadWorker::show(int type, const String& caption, const String& text) {
  if (cancelled_) return Dialog::RESULT_OTHER;
  return Dialog(host_->getDialogOwner(), type, caption, text).show();
}

void DownloadWorker::headersArrived(const String& suggestedName, int64_t totalLength) {
  item_->setSuggestedName(suggestedName);
  item_->setTotalLength(totalLength);
  host_->nameArrived();
  host_->progressed(true);
}

void DownloadWorker::progressed(int64_t received) {
  item_->setReceived(received);
  host_->progressed(false);
}

void DownloadWorker::finish() {
  DownloadItem* item = item_;
  host_->itemFinished(item);
}
