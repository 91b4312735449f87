#include "downloader/DownloaderCanvas.h"

#include <algorithm>

#include "downloader/DownloadItem.h"
#include "downloader/ItemBlockPainter.h"
#include "downloader/ResumeRecord.h"
#include "downloader/SaveNaming.h"
#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/ShortTimer.h"
#include "vwt/lang/System.h"
#include "vwt/lang/Thread.h"
#include "vwt/lang/VectorV.h"
#include "vwt/net/DialupManager.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Dialog.h"
#include "vwt/ui/FileChooser.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

namespace {

const int NETWORK_CAPTION = 20000, NETWORK_FAILED = 20001, NETWORK_TIMEOUT = 20002;
const int CANCELLED_CAPTION = 20003, CANCELLED_TEXT = 20004;

const int WHITE = 0xFFFFFF;
const int BLACK = static_cast<int>(0xFF000000u);
// The connection's status is looked at this often within each second of the wait.
const int CONNECT_POLL_MS = 50;
// Bits of the connection manager's status.
const unsigned long DISCONNECTED_BITS = 0x20;
// A short message longer than this is no item the browser sends.
const int MAX_MESSAGE_UNITS = 64 * 1024;
// How often a worker being stopped is looked at.
const int JOIN_POLL_MS = 50;

}  // namespace

const char16_t DownloaderCanvas::VERSION[] = u"1.0.0";

DownloaderCanvas::DownloaderCanvas(Application* application, const String& title)
    : Frame(application, title), dialupManager_(new DialupManager()) {
  String host;
  try {
    host = System::getProperty(u"service.host"_s);
  } catch (const Exception&) {
    // Without a property file the service runs on this machine.
  }
  if (host.isNull()) host = u"127.0.0.1"_s;
  String root = (u"http://"_s + host) + u"/";
  DialupManager::setInternetPath(root.getCString());
}

DownloaderCanvas::~DownloaderCanvas() {
  closing_ = true;
  delete timer_;
  timer_ = nullptr;
  // A transfer cut short by the closing window keeps its partial file, for the next start.
  stopWorker();
  delete dialupManager_;
  // A second start that found the first one running leaves the first one's files alone.
  if (created_) deleteTemporaryFiles();
}

void DownloaderCanvas::takeArguments(const Application& application) {
  int n = application.getNumOfParameter();
  if (n < 1) return;
  mode_ = application.getParameter(0) == u"/D" ? SAVE_MODE : UPDATE_MODE;
  if (n < 2) return;
  DownloadItem* item = DownloadItem::fromItemString(application.getParameter(1));
  if (n > 2) {
    if (mode_ == UPDATE_MODE)
      restartProgram_ = application.getParameter(2);
    else
      item->setReferer(application.getParameter(2));
  }
  if (n > 3 && mode_ == SAVE_MODE) item->setCookie(application.getParameter(3));
  addItem(item);
}

void DownloaderCanvas::addItem(DownloadItem* item) { queue_.addElement(item); }

int DownloaderCanvas::getQueueSize() const { return queue_.size(); }

const DownloadItem* DownloaderCanvas::getItem(int i) const {
  Lock held(queue_.getLock());
  return i >= 0 && i < queue_.size() ? queue_.elementAt(i) : nullptr;
}

String DownloaderCanvas::dataDirectory() {
  String directory = System::getDataDirectory(u"vesk"_s, u"veskDownloader"_s);
  return File(directory).isDirectory() ? directory : String();
}

String DownloaderCanvas::itemText(const char* data, int length) {
  if (!data || length < 2 || length % 2 != 0 || length / 2 > MAX_MESSAGE_UNITS) return String::null;
  int units = length / 2;
  std::u16string buffer;
  for (int i = 0; i < units; ++i) {
    char16_t c = static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                       static_cast<unsigned char>(data[2 * i + 1]) << 8);
    if (c == 0) break;
    buffer += c;
  }
  if (buffer.empty()) return String::null;
  return String(buffer.data(), 0, static_cast<int>(buffer.size()));
}

String DownloaderCanvas::getDataDirectory() const { return dataDirectory(); }

String DownloaderCanvas::getProgramDirectory() const { return System::getProgramDirectory(); }

void DownloaderCanvas::nameArrived() {
  nameKnown_ = true;
  repaint();
}

void DownloaderCanvas::progressed(bool latest) {
  int64_t now = System::currentTimeMillisBoot();
  if (!latest && now - lastProgressPaint_ < PROGRESS_PAINT_MS) return;
  lastProgressPaint_ = now;
  repaint();
}

void DownloaderCanvas::itemFinished(DownloadItem* item) {
  {
    Lock held(queue_.getLock());
    int at = queue_.indexOf(item);
    if (at >= 0) queue_.removeElementAt(at);
  }
  // The timer's next step starts the next item.
  repaint();
}

void DownloaderCanvas::onPaint(Graphics* g) {
  if (!painter_) painter_.reset(new ItemBlockPainter(getWidth()));
  g->setColor(WHITE);
  g->fillRect(0, 0, getWidth(), getHeight());
  if (paintStage_ == BEFORE_FIRST_PAINT) {
    paintSplash(g);
    paintStage_ = PAINTED;
    // Connecting and the first transfer follow from the timer, once the splash is on the screen.
    startTimer();
    return;
  }
  paintQueue(g);
}

void DownloaderCanvas::paintSplash(Graphics* g) {
  std::unique_ptr<vwt::Font> font(vwt::Font::getFont(ItemBlockPainter::FACE, std::max(1, getWidth() / 20)));
  g->setFont(font.get());
  g->setColorARGB(BLACK);
  String text = u"veskDownloader"_s + String(VERSION, false);
  g->drawString(text, (getWidth() - g->stringWidth(text)) / 2, getHeight() / 2);
  g->setFont(nullptr);
}

void DownloaderCanvas::paintQueue(Graphics* g) {
  const int width = getWidth(), height = getHeight();
  const int64_t now = System::currentTimeMillisBoot();
  Lock held(queue_.getLock());
  int y = 0;
  for (int i = 0; i < queue_.size() && y < height; ++i) {
    painter_->paint(g, *queue_.elementAt(i), y, width, now);
    y += painter_->getBlockHeight();
  }
}

void DownloaderCanvas::startTimer() {
  if (!timer_) timer_ = ShortTimer::getShortTimer(this, TIMER_ID, TIMER_MS, true);
  timer_->start();
}

void DownloaderCanvas::onTimerExpired(int timerId) {
  // The step's dialogs run their own loops, which deliver further timer messages.
  if (timerId != TIMER_ID || stepping_ || closing_) return;
  stepping_ = true;
  step();
  stepping_ = false;
}

void DownloaderCanvas::step() {
  if (!connectTried_) {
    connectTried_ = true;
    if (!connect()) return;
  }
  if (awaitingName_) {
    bool ended = !worker_ || !worker_->isAlive() || worker_->getResult() == DownloadWorker::FAILED;
    if (!nameKnown_ && !ended) return;
    awaitingName_ = false;
    // A transfer that failed before its headers came has nothing to name.
    if (nameKnown_.exchange(false) && !ended) runSaveDialog();
    return;
  }
  if (worker_ && worker_->isAlive()) return;
  if (worker_) {
    worker_->join();
    delete worker_;
    worker_ = nullptr;
  }
  if (getQueueSize() > 0) {
    startNext();
  } else {
    Application* application = Application::getCurrentApp();
    if (application) application->terminate();
  }
}

bool DownloaderCanvas::connect() {
  if (dialupManager_->getStatus() == DialupManager::STATUS_CONNECTED) return true;
  String path = DialupManager::getInternetPath();
  dialupManager_->attemptConnect(path.getCString(), false);
  for (int second = 0; second < CONNECT_SECONDS; ++second) {
    for (int waited = 0; waited < 1000; waited += CONNECT_POLL_MS) {
      unsigned long status = dialupManager_->getStatus();
      if (status == DialupManager::STATUS_CONNECTED) return true;
      // The once-a-second looks after the first also take a status that will not change.
      if (waited == 0 && second > 0) {
        if (status == DialupManager::STATUS_UNKNOWN) return true;
        if (status & DISCONNECTED_BITS) {
          Dialog(this, Dialog::TYPE_ERROR, Resource::getString(NETWORK_CAPTION),
                 Resource::getString(NETWORK_FAILED, dialupManager_->getStatusName()))
              .show();
          Application::getCurrentApp()->terminate();
          return false;
        }
      }
      Thread::sleep(CONNECT_POLL_MS);
    }
  }
  Dialog(this, Dialog::TYPE_ERROR, Resource::getString(NETWORK_CAPTION), Resource::getString(NETWORK_TIMEOUT))
      .show();
  Application::getCurrentApp()->terminate();
  return false;
}

void DownloaderCanvas::startNext() {
  DownloadItem* item;
  {
    Lock held(queue_.getLock());
    if (queue_.size() == 0) return;
    item = queue_.elementAt(0);
  }
  nameKnown_ = false;
  worker_ = new DownloadWorker(this, item);
  worker_->start();
  awaitingName_ = mode_ == SAVE_MODE;
  repaint();
}

bool DownloaderCanvas::runSaveDialog() {
  DownloadItem* item = worker_->getItem();
  String url, suggested;
  {
    // A worker that has not failed still has its item on the queue.
    Lock held(queue_.getLock());
    if (worker_->getResult() == DownloadWorker::FAILED) return true;
    url = item->getUrl();
    suggested = item->getSuggestedName();
  }
  String extension = SaveNaming::extension(url, suggested);
  FileChooser chooser;
  chooser.setFileNameFilter(SaveNaming::filter(extension));
  chooser.setSelectedFileName(SaveNaming::proposedName(url, suggested));
  if (chooser.showSaveDialog(this) == FileChooser::APPROVED) {
    Lock held(queue_.getLock());
    if (worker_->getResult() != DownloadWorker::FAILED)
      item->setSavePath(SaveNaming::withExtension(chooser.getSelectedFileName(), extension));
    return true;
  }
  worker_->cancel();
  Dialog(this, Dialog::TYPE_INFORMATION, Resource::getString(CANCELLED_CAPTION),
         Resource::getString(CANCELLED_TEXT))
      .show();
  String partial = worker_->getPath();
  stopWorker();
  // Nobody wants the part that arrived.
  if (!partial.isNull()) {
    File(partial).doDelete();
    ResumeRecord::remove(partial);
  }
  repaint();
  return false;
}

void DownloaderCanvas::stopWorker() {
  if (!worker_) return;
  worker_->cancel();
  // The worker may be waiting for this thread to show one of its dialogs.
  vwt::platform::WindowSystem* ws =
      vwt::platform::WindowSystem::exists() ? &vwt::platform::WindowSystem::get() : nullptr;
  while (!worker_->join(JOIN_POLL_MS)) {
    vwt::platform::Message m;
    if (ws && ws->isUiThread()) ws->peek(&m, false);
  }
  keptPartial_ = closing_ ? worker_->getPath() : String();
  delete worker_;
  worker_ = nullptr;
}

bool DownloaderCanvas::onShortMessage(Window* sender, const char* data, int length) {
  (void)sender;
  // An update has no queue for the browser's downloads: the sender hears that it is busy.
  if (mode_ != SAVE_MODE) return false;
  String text = itemText(data, length);
  if (text.isNull()) return false;
  addItem(DownloadItem::fromItemString(text));
  repaint();
  return true;
}

void DownloaderCanvas::onCreate() {
  Frame::onCreate();
  created_ = true;
}

bool DownloaderCanvas::onClose() {
  closing_ = true;
  return true;
}

void DownloaderCanvas::deleteTemporaryFiles() {
  String directory = dataDirectory();
  if (directory.isNull()) return;
  VectorV<String> keep;
  if (!keptPartial_.isNull()) keep.addElement(keptPartial_);
  {
    Lock held(queue_.getLock());
    for (int i = 0; i < queue_.size(); ++i) {
      String partial = ResumeRecord::findPartial(directory, queue_.elementAt(i)->getUrl());
      if (!partial.isNull()) keep.addElement(partial);
    }
  }
  VectorV<String> files;
  try {
    File(directory).list(File::FILES, true, &files);
  } catch (const Exception&) {
    return;
  }
  for (int i = 0; i < files.size(); ++i) {
    const String& file = files.elementAt(i);
    bool kept = false;
    for (int k = 0; k < keep.size() && !kept; ++k)
      kept = file == keep.elementAt(k) || file == ResumeRecord::pathFor(keep.elementAt(k));
    if (!kept) File(file).doDelete();
  }
}
