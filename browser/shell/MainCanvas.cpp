#include "browser/shell/MainCanvas.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "browser/page/Page.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/Palette.h"
#include "browser/shell/BasicNavigation.h"
#include "browser/shell/BrowserStatusBar.h"
#include "browser/shell/OpenCommand.h"
#include "browser/shell/PointerPainter.h"
#include "browser/shell/ServiceDialogBox.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/SessionDialogs.h"
#include "browser/shell/StoreErrorPrinter.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/PhoneSystem.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace {
// The banner is drawn at most twice its size.
const int MAX_BANNER_SCALE = 2;
// Canvas flag: the status line hides when it has nothing to say.
const int FLAG_HIDE_EMPTY_STATUS = 1 << 10;
const int FLAG_POINTER_MODE = 1 << 17;
const int FLAG_REFLOW = 1 << 18;
const int ICON_TRANSPARENT = 0xFF00FF;
// A press and a release this close together are a tap.
const int TAP_SLACK = 8;
// The arrow of the pointer sprite.
const int POINTER_WIDTH = 13, POINTER_HEIGHT = 19;
}  // namespace

MainCanvas::MainCanvas(Application* application, const String& name)
    : Frame(application, name),
      useMenu_(StartupSequence::useMenuMode(systemProperty(u"use-menu"_s))),
      startup_(this) {
  fixedOverlays_.setAutoDelete(false);
  pageOverlays_.setAutoDelete(false);
}

MainCanvas::~MainCanvas() {
  // The session's worker may still call the view and the dialogs: it goes first, while everything it
  // reaches exists.
  if (core_) core_->cancel();
  core_.reset();
  dialogs_.reset();
  delete statusBar_;
  pointer_.reset();
}

// --- paint cycle ---

void MainCanvas::onPaint(Graphics* g) {
  switch (state_) {
    case STATE_NOTHING_DRAWN:
      drawSplash(g, getWidth(), getHeight());
      state_ = STATE_SPLASH_DRAWN;
      repaint();
      return;
    case STATE_SPLASH_DRAWN: {
      state_ = STATE_RUNNING;
      String parameters;
      if (Application* app = Application::getCurrentApp()) parameters = app->getParameter(0);
      startup_.run(parameters);
      flags_ = startup_.flags();
      // URLs a second start handed over while this one was starting.
      for (int i = 0; i < pendingUrls_.size(); ++i) openUrl(pendingUrls_.elementAt(i));
      pendingUrls_.clear();
      repaint();
      return;
    }
    default:
      paintRunning(g);
  }
}

void MainCanvas::drawSplash(Graphics* g, int w, int h) {
  g->setColor(0xFFFFFF);
  g->fillRect(0, 0, w, h);
  try {
    std::unique_ptr<MediaImage> media(MediaManager::getImage(u"resource:///banner.gif"_s));
    if (!media) return;
    media->use();
    std::unique_ptr<Image> banner(media->getImage());
    if (!banner || banner->getWidth() <= 0) return;
    // A banner wider than the view is still drawn, at its own size.
    int k = std::max(1, std::min(w / banner->getWidth(), MAX_BANNER_SCALE));
    int bw = banner->getWidth() * k, bh = banner->getHeight() * k;
    g->drawScaledImage(banner.get(), (w - bw) / 2, (h - bh) / 2, bw, bh, 0, 0, banner->getWidth(),
                       banner->getHeight());
  } catch (const Exception&) {
    // Without its banner the splash is the plain background.
  }
}

void MainCanvas::paintRunning(Graphics* g) {
  if (!screen_ || !renderer_) return;
  takeSessionChanges();
  Graphics* screen = screen_->getGraphics();
  renderer_->updateBuffer();
  screen->clearClip();
  screen->drawImage(renderer_->buffer(), 0, 0);
  if (statusBar_) {
    String text = core_->getStatusText();
    bool show = text.length() > 0 || !(flags_ & FLAG_HIDE_EMPTY_STATUS) || fixedOverlays_.size() > 0;
    // The bar is a window of its own: touched only when it changes, or each paint would ask for the next.
    if (show != statusBar_->isShown()) statusBar_->show(show);
    if (statusChanged_.exchange(false) || !text.equals(statusBar_->getStatusText())) {
      statusBar_->setStatusText(text);
      if (show) statusBar_->repaint();
    }
  }
  drawOverlays(*screen);
  bool reflow = (flags_ & FLAG_REFLOW) != 0;
  if (shown_ && pointer_ && fixedOverlays_.size() == 0 && (!reflow || (flags_ & FLAG_POINTER_MODE)))
    pointer_->draw(*screen, pointerX_, pointerY_, POINTER_WIDTH, POINTER_HEIGHT, false, false, false,
                   screen_->getWidth(), screen_->getHeight());
  g->drawImage(screen_.get(), 0, 0);
  showPendingMessages();
  actOnPendingState();
  if (endRequested_.exchange(false))
    if (Application* app = Application::getCurrentApp()) app->terminate();
}

void MainCanvas::actOnPendingState() {
  String& pending = core_->getSessionValues().pendingState;
  if (pending.length() == 0) return;
  if (pending.equals(u"VER_UP"_s)) {
    // The service is newer than this program: after its notice the program ends for the update.
    if (fixedOverlays_.size() > 0) return;
    pending = String();
    if (Application* app = Application::getCurrentApp()) app->terminate();
    return;
  }
  String text = pending;
  pending = String();
  if (dialogs_) dialogs_->showInformation(String(), text);
}

void MainCanvas::takeSessionChanges() {
  if (pageChanged_.exchange(false)) {
    shown_ = core_->getCurrentPage();
    renderer_->pageChanged();
    navigation_->pageChanged();
    contentChanged_ = false;
  }
  // Images arrived or the page changed in place: the buffer is drawn again whole.
  if (contentChanged_.exchange(false)) renderer_->invalidateAll();
}

void MainCanvas::drawOverlays(Graphics& g) {
  for (int i = 0; i < fixedOverlays_.size(); ++i)
    renderer_->drawItem(g, fixedOverlays_.elementAt(i), 0, 0, 100);
  for (int i = 0; i < pageOverlays_.size(); ++i)
    renderer_->drawItem(g, pageOverlays_.elementAt(i), -renderer_->scrollX(), -renderer_->scrollY(),
                        renderer_->zoom());
}

void MainCanvas::showPendingMessages() {
  // The dialog box exists once the session is up; notices queued before then wait for it.
  if (dialogs_) core_->showQueuedMessages();
}

// --- input ---

void MainCanvas::onResize(int width, int height) {
  // A new screen size (a resized desktop window, full screen) gets buffers of its size.
  if (state_ != STATE_RUNNING || !renderer_ || width <= 0 || height <= 0) return;
  createScreenBuffers(startup_.orientation());
  if (statusBar_) statusBar_->setSize(width, statusBar_->getHeight());
  renderer_->invalidateAll();
  repaint();
}

void MainCanvas::onKeyPressed(int key) {
  if (state_ != STATE_RUNNING || !navigation_) return;
  if (navigation_->keyPressed(key)) repaint();
}

void MainCanvas::onPointerPressed(int x, int y) {
  pressX_ = x;
  pressY_ = y;
}

void MainCanvas::onPointerReleased(int x, int y) {
  bool tap = pressX_ >= 0 && std::abs(x - pressX_) <= TAP_SLACK && std::abs(y - pressY_) <= TAP_SLACK;
  pressX_ = pressY_ = -1;
  if (tap && state_ == STATE_RUNNING && navigation_ && navigation_->tapped(x, y)) repaint();
}

void MainCanvas::openUrl(const String& url) {
  if (core_ && startup_.isSessionReady()) core_->startPageRequest(url);
}

void MainCanvas::followLink(const String& url, const String& referrer) {
  core_->startPageRequest(url, referrer);
}

void MainCanvas::stepHistory(int offset) { core_->historyStep(offset); }

int MainCanvas::coveredBottom() { return statusBar_ && statusBar_->isShown() ? statusBar_->getHeight() : 0; }

// --- the second start ---

void MainCanvas::onLaunchDuplicate(Window* existing) {
  Application* app = Application::getCurrentApp();
  if (!app || app->getNumOfParameter() < 1) return;
  std::string bytes = OpenCommand::encode(app->getParameter(0));
  sendShortMessage(existing, bytes.data(), static_cast<int>(bytes.size()));
}

bool MainCanvas::onShortMessage(Window* sender, const char* data, int length) {
  (void)sender;
  VectorV<String> urls;
  OpenCommand::urlsOf(data, length, &urls);
  for (int i = 0; i < urls.size(); ++i) {
    if (state_ == STATE_RUNNING)
      openUrl(urls.elementAt(i));
    else
      pendingUrls_.addElement(urls.elementAt(i));
  }
  return true;
}

// --- start-up steps ---

String MainCanvas::systemProperty(const String& key) {
  try {
    return System::getProperty(key);
  } catch (const Exception&) {
    return String();
  }
}

int MainCanvas::handsetAttribute(int id) { return PhoneSystem::getAttribute(id); }

RecordStore& MainCanvas::records() {
  if (!core_) {
    storeErrors_.reset(new StoreErrorPrinter(stderr));
    core_.reset(new SessionCore(storeErrors_.get()));
    core_->setView(this);
    String notice = core_->getStore().getRepairNotice();
    if (notice.length() > 0) core_->queueMessage(String(), notice);
  }
  return core_->getStore();
}

void MainCanvas::restoreWindows() { core_->restoreWindows(); }

void MainCanvas::setUpFonts(bool scalable) {
  RecordStore& store = records();
  fonts_.setUp(scalable, store.getSetting(18), store.getSetting(19), store.getSetting(20));
  core_->setFontMetrics(fonts_.metrics());
  core_->setTransparentColor(startup_.handset().transparentImages);
}

void MainCanvas::loadIconStrip() {
  try {
    iconMedia_.reset(MediaManager::getImage(u"resource:///icon.gif"_s));
    if (!iconMedia_) return;
    iconMedia_->use();
    icons_.reset(iconMedia_->getImage());
    if (icons_) icons_->setTransparentColor(ICON_TRANSPARENT);
  } catch (const Exception&) {
    // Pages still show without the icons.
    icons_.reset();
  }
}

void MainCanvas::createStatusBar() {
  if (!statusBar_) statusBar_ = new BrowserStatusBar(this, this);
  // The browsing state's soft keys: back and forward, as the basic navigation treats them.
  setSoftLabel(SOFT_KEY_LEFT, Resource::getString(10005));
  setSoftLabel(SOFT_KEY_RIGHT, Resource::getString(10077));
}

void MainCanvas::createScreenBuffers(int orientation) {
  (void)orientation;  // the desktop's screen does not turn
  int w = std::max(1, getWidth()), h = std::max(1, getHeight());
  if (!renderer_) {
    renderer_.reset(new PageRenderer(this, &fonts_));
    navigation_.reset(new BasicNavigation(renderer_.get(), this));
  }
  renderer_->setZoom(fonts_.baseZoom());
  renderer_->setViewSize(w, h);
  screen_.reset(Image::createImage(w, h, 0xFFFFFF));
  if (!pointer_) pointer_.reset(new PointerPainter(this, icons_.get()));
  pointerX_ = w / 2;
  pointerY_ = h / 2;
  core_->setOffscreenWidth(w);
}

bool MainCanvas::establishSession() {
  bool ready = core_->startSession(true) == 1;
  // The questions of later requests become dialogs; until now the interface thread waited for the
  // session's worker and could not have run them.
  SessionCore* core = core_.get();
  dialogs_.reset(
      new ServiceDialogBox(this, [core](bool confirmed, const String& user, const String& password) {
        core->answerCredentials(confirmed, user, password);
      }));
  core_->setDialogs(dialogs_.get());
  return ready;
}

// --- the pieces' views of the canvas ---

std::mutex& MainCanvas::pageLock() { return core_->pageLock(); }

Image* MainCanvas::pageImage(int index) { return core_->pageImage(index); }

ReflowLayout* MainCanvas::reflowLayout() { return core_->reflowLayout(); }

bool MainCanvas::placeMovie(const String& path, int x, int y, int w, int h) {
  (void)path, (void)x, (void)y, (void)w, (void)h;
  return false;
}

int MainCanvas::schemeColour(int entry) { return Palette::colour(startup_.paletteIndex(), entry); }

void MainCanvas::requestRepaint() {
  contentChanged_ = true;
  repaint();
}

void MainCanvas::statusTextChanged() {
  statusChanged_ = true;
  repaint();
}

void MainCanvas::pageShown() {
  pageChanged_ = true;
  repaint();
}

void MainCanvas::launchProgram(int launchType, const String& argument) {
  Application* app = Application::getCurrentApp();
  if (!app || launchType < Application::LAUNCH_DOWNLOADER || launchType > Application::LAUNCH_DOWNLOADER_ITEM)
    return;
  try {
    app->launch(static_cast<Application::LaunchType>(launchType), argument);
  } catch (const Exception& e) {
    core_->queueMessage(String(), e.getMessage());
  }
}

void MainCanvas::terminate() {
  // The window ends on the interface thread, after the paint that shows the service's notice.
  endRequested_ = true;
  repaint();
}
