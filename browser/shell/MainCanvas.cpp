#include "browser/shell/MainCanvas.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "browser/menu/CommandId.h"
#include "browser/menu/CommandMenus.h"
#include "browser/menu/CommandRunner.h"
#include "browser/menu/ErrorReport.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/Screen.h"
#include "browser/page/FormSubmission.h"
#include "browser/page/LinkHints.h"
#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/Palette.h"
#include "browser/page/PointerFeedback.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/SelectionPainter.h"
#include "browser/page/TextSelection.h"
#include "browser/shell/BrowserStatusBar.h"
#include "browser/shell/CanvasReflowHost.h"
#include "browser/shell/DownloadHandOver.h"
#include "browser/shell/LinkFollower.h"
#include "browser/shell/OpenCommand.h"
#include "browser/shell/PageScrollBars.h"
#include "browser/shell/PointerPainter.h"
#include "browser/shell/ServiceDialogBox.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/SessionDialogs.h"
#include "browser/shell/StoreErrorPrinter.h"
#include "browser/shell/UrlResolver.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/PhoneSystem.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/ShortTimer.h"
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
const int FLAG_POINTER_HIDDEN = 1 << 27;
const int ICON_TRANSPARENT = 0xFF00FF;
// The arrow of the pointer sprite.
const int POINTER_WIDTH = 13, POINTER_HEIGHT = 19;
// A movie playing over the page: the rest of the page is shaded with lines this far apart.
const int MOVIE_SHADE_STEP = 30;
// The pointer's status text goes this long after it was set when the pointer is over nothing.
const int64_t STATUS_LINGER_MS = 3000;
// The key that shows the link hints.
const char16_t HINT_KEY = u'f';
// Shortcut keys 1-9, "*", 0 and "#" in the order the shortcut list holds their commands.
const int SHORTCUT_KEYS[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, Window::KEY_ASTERISK, 0, Window::KEY_POUND};
// The error report's panel title and the context it names: the command that failed.
const int ERROR_TITLE = 10002, ERROR_CONTEXT = 10282;
// The text entry's input flags.
const int IME_SINGLE_LINE = 64, IME_MULTI_LINE = 80;

int64_t steadyMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

MainCanvas::MainCanvas(Application* application, const String& name)
    : Frame(application, name),
      useMenu_(StartupSequence::useMenuMode(systemProperty(u"use-menu"_s))),
      startup_(this) {
  pageOverlays_.setAutoDelete(false);
}

MainCanvas::~MainCanvas() {
  // The session's worker may still call the view and the dialogs: it goes first, while everything it
  // reaches exists.
  if (core_) core_->cancel();
  // Screens may point into the page; the open list's copy sits in the page overlays, which the
  // interaction leaves before they go.
  screens_.clear();
  interaction_.reset();
  core_.reset();
  dialogs_.reset();
  ticks_.reset();
  scrollBars_.reset();
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
      loadShortcuts();
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
  // The text entry answered during the last pass; its box goes now, outside its own callback.
  if (closeEntry_) {
    closeEntry_ = false;
    setImeTextBox(nullptr);
  }
  takeSessionChanges();
  Graphics* screen = screen_->getGraphics();
  renderer_->updateBuffer();
  screen->clearClip();
  screen->drawImage(renderer_->buffer(), 0, 0);
  int mode = interaction_->mode();
  if (mode == PageInteraction::MODE_MOVIE && (screens_.size() == 0 || !isTranslucent())) {
    screen->setColor(0x000000);
    screen->fillAreaWithLine(0, 0, screen_->getWidth(), screen_->getHeight(), MOVIE_SHADE_STEP);
  } else if (screens_.size() == 0 && mode == PageInteraction::MODE_BROWSING &&
             interaction_->speedBelowThreshold() && !interaction_->dragging()) {
    drawPointerFeedback(*screen);
  }
  if (statusBar_) {
    String text = core_->getStatusText();
    bool show = text.length() > 0 || !(flags_ & FLAG_HIDE_EMPTY_STATUS) || screens_.size() > 0;
    // The bar is a window of its own: touched only when it changes, or each paint would ask for the next.
    if (show != statusBar_->isShown()) statusBar_->show(show);
    if (statusChanged_.exchange(false) || !text.equals(statusBar_->getStatusText())) {
      statusBar_->setStatusText(text);
      if (show) statusBar_->repaint();
    }
  }
  updateScrollBars();
  if (selection_->hasSelection()) {
    updateSelectionView();
    SelectionPainter::draw(*screen, selection_->highlightRects(), -renderer_->scrollX(),
                           -renderer_->scrollY());
  }
  drawOverlays(*screen);
  if (hints_->active())
    hints_->draw(*screen, fonts_.interfaceFont(), renderer_->scrollX(), renderer_->scrollY());
  drawPointer(*screen);
  g->drawImage(screen_.get(), 0, 0);
  showPendingMessages();
  actOnPendingState();
  if (endRequested_.exchange(false))
    if (Application* app = Application::getCurrentApp()) app->terminate();
}

void MainCanvas::drawPointerFeedback(Graphics& g) {
  if (!shown_) return;
  bool reflow = (flags_ & FLAG_REFLOW) != 0;
  String text = PointerFeedback::draw(g, *renderer_, pageLock(), *shown_, interaction_->pointerX(),
                                      interaction_->pointerY(), renderer_->scrollX(), renderer_->scrollY(),
                                      renderer_->zoom(), reflow);
  String status = core_->getStatusText();
  if (text.length() > 0) {
    if (!text.equals(status)) core_->setStatusText(text);
    feedbackStatus_ = text;
  } else if (status.length() > 0 && now() - statusSetAt_.load() >= STATUS_LINGER_MS) {
    core_->setStatusText(String());
    feedbackStatus_ = String();
  }
}

void MainCanvas::updateScrollBars() {
  if (!scrollBars_) return;
  // A gliding page moves every tick: the bars wait until it rests.
  if (!shown_ || interaction_->flicking() || interaction_->dragging()) {
    scrollBars_->hide();
    return;
  }
  ViewGeometry view = geometry();
  PageScrollBars::View v;
  v.width = view.viewWidth;
  v.height = view.viewHeight;
  v.coveredBottom = statusBar_ && statusBar_->isShown() ? statusBar_->getHeight() : 0;
  v.pageWidth = view.pageWidth;
  v.pageHeight = view.pageHeight;
  v.scrollX = renderer_->scrollX();
  v.scrollY = renderer_->scrollY();
  scrollBars_->update(v);
}

void MainCanvas::drawPointer(Graphics& g) {
  bool reflow = (flags_ & FLAG_REFLOW) != 0;
  if (!shown_ || !pointer_ || screens_.size() > 0 || (flags_ & FLAG_POINTER_HIDDEN) ||
      (reflow && !(flags_ & FLAG_POINTER_MODE)) || interaction_->flicking() || hints_->active())
    return;
  pointer_->draw(g, interaction_->pointerX() - renderer_->scrollX(),
                 interaction_->pointerY() - renderer_->scrollY(), POINTER_WIDTH, POINTER_HEIGHT, false, false,
                 false, screen_->getWidth(), screen_->getHeight());
}

void MainCanvas::actOnPendingState() {
  String& pending = core_->getSessionValues().pendingState;
  if (pending.length() == 0) return;
  if (pending.equals(u"VER_UP"_s)) {
    // The service is newer than this program: after its notice the program ends for the update.
    if (screens_.size() > 0) return;
    pending = String();
    if (Application* app = Application::getCurrentApp()) app->terminate();
    return;
  }
  String text = pending;
  pending = String();
  if (dialogs_) dialogs_->showInformation(String(), text);
}

void MainCanvas::takeSessionChanges() {
  // The service's newer bookmarks come with a page; the worker leaves them for this thread.
  if (core_->applyServiceBookmarks()) bookmarksReplaced();
  flags_ = core_->getFlags();
  if (pageChanged_.exchange(false)) {
    shown_ = core_->getCurrentPage();
    renderer_->pageChanged();
    interaction_->pageChanged();
    hints_->close();
    uploadFiles_.clear();
    uploadControl_ = nullptr;
    found_.clear();
    contentChanged_ = false;
  }
  // Images arrived or the page changed in place: the buffer is drawn again whole.
  if (contentChanged_.exchange(false)) renderer_->invalidateAll();
}

void MainCanvas::drawOverlays(Graphics& g) {
  drawFound(g);
  for (int i = 0; i < pageOverlays_.size(); ++i)
    renderer_->drawItem(g, pageOverlays_.elementAt(i), -renderer_->scrollX(), -renderer_->scrollY(),
                        renderer_->zoom());
  for (int i = 0; i < screens_.size(); ++i) renderer_->drawItem(g, screens_.at(i)->item(), 0, 0, 100);
}

void MainCanvas::showPendingMessages() {
  // The dialog box exists once the session is up; notices queued before then wait for it.
  if (dialogs_) core_->showQueuedMessages();
}

// --- input ---

void MainCanvas::updateSelectionView() {
  std::lock_guard<std::mutex> held(pageLock());
  TextSelection::View view;
  view.page = shown_.get();
  view.layout = core_->reflowLayout();
  view.zoom = renderer_->zoom();
  selection_->setView(view);
}

bool MainCanvas::selectionTook(bool took) {
  if (took) repaint();
  return took;
}

void MainCanvas::onResize(int width, int height) {
  // A new screen size (a resized desktop window, full screen) gets buffers of its size.
  if (state_ != STATE_RUNNING || !renderer_ || width <= 0 || height <= 0) return;
  createScreenBuffers(startup_.orientation());
  if (statusBar_) statusBar_->setSize(width, statusBar_->getHeight());
  layOutScreens();
  renderer_->invalidateAll();
  repaint();
}

void MainCanvas::onKeyPressed(int key) {
  if (state_ != STATE_RUNNING || !interaction_) return;
  if (key == KEY_SHIFT) shiftDown_ = true;
  if (screens_.size() == 0 && !hints_->active() && interaction_->mode() == PageInteraction::MODE_BROWSING) {
    updateSelectionView();
    if (selectionTook(
            selection_->keyDown(key, shiftDown_, interaction_->pointerX(), interaction_->pointerY())))
      return;
  }
  if (hints_->active()) {
    // A typed letter comes as a character; its key is none of the handset's. Other keys only
    // leave the hints.
    if (key == KEY_NONE) return;
    hints_->close();
    hintKey_ = key;
    repaint();
    return;
  }
  interaction_->keyDown(key);
}

void MainCanvas::onKeyReleased(int key) {
  if (state_ != STATE_RUNNING || !interaction_) return;
  if (key == KEY_SHIFT) shiftDown_ = false;
  if (selection_->keyUp(key)) return;
  if (key == hintKey_) {
    hintKey_ = -1;
    return;
  }
  interaction_->keyUp(key);
}

void MainCanvas::onCharacter(char16_t c) {
  if (state_ != STATE_RUNNING || !interaction_ || isImeVisible()) return;
  if (hints_->active())
    typeHint(c);
  else if (c == HINT_KEY)
    showLinkHints();
}

void MainCanvas::showLinkHints() {
  if (!shown_ || screens_.size() > 0 || interaction_->mode() != PageInteraction::MODE_BROWSING) return;
  {
    std::lock_guard<std::mutex> held(pageLock());
    hints_->show(*shown_, renderer_->scrollX(), renderer_->scrollY(), renderer_->viewWidth(),
                 renderer_->viewHeight(), renderer_->zoom(), (flags_ & FLAG_REFLOW) != 0);
  }
  repaint();
}

void MainCanvas::typeHint(char16_t c) {
  LinkHints::Answer answer = hints_->type(c);
  if (answer == LinkHints::CHOSEN) {
    RenderItem* item = hints_->chosen();
    hints_->close();
    interaction_->activate(item);
  } else if (answer == LinkHints::CLOSED) {
    hints_->close();
  }
  repaint();
}

void MainCanvas::onPointerPressed(int x, int y) {
  if (state_ != STATE_RUNNING || !interaction_) return;
  if (hints_->active()) {
    hints_->close();
    repaint();
  }
  if (screens_.size() == 0 && interaction_->mode() == PageInteraction::MODE_BROWSING) {
    updateSelectionView();
    selectionPress_ =
        selection_->pointerPressed(x + renderer_->scrollX(), y + renderer_->scrollY(), shiftDown_);
    if (selectionTook(selectionPress_)) return;
  }
  interaction_->pointerPressed(x, y);
}

void MainCanvas::onPointerDragged(int x, int y) {
  if (state_ != STATE_RUNNING || !interaction_) return;
  if (selectionPress_) {
    selectionTook(selection_->dragged(x + renderer_->scrollX(), y + renderer_->scrollY()));
    return;
  }
  interaction_->pointerDragged(x, y);
}

void MainCanvas::onPointerReleased(int x, int y) {
  if (state_ != STATE_RUNNING || !interaction_) return;
  if (selectionPress_) {
    selectionPress_ = false;
    selectionTook(selection_->released(x + renderer_->scrollX(), y + renderer_->scrollY()));
    return;
  }
  interaction_->pointerReleased(x, y);
}

void MainCanvas::onTimerExpired(int timerId) {
  if (timerId == TICK_TIMER && interaction_) interaction_->tick();
}

void MainCanvas::processIMEEvent(int type, const String& text) {
  // 0: the entry was confirmed; anything else leaves things as they were.
  String value =
      entryMaxLength_ > 0 && text.length() > entryMaxLength_ ? text.substring(0, entryMaxLength_) : text;
  EntryTarget target = entryTarget_;
  entryTarget_ = ENTRY_CONTROL;
  closeEntry_ = true;
  // The text box had the soft keys for itself.
  modeChanged();
  if (type == 0 && interaction_) {
    if (target == ENTRY_SCREEN && screens_.top()) {
      carryOut(screens_.top()->entered(value));
    } else if (target == ENTRY_COMMAND) {
      commands_->answer(entryCommand_, value);
    } else if (target == ENTRY_CONTROL) {
      interaction_->setText(value);
      renderer_->invalidateAll();
    }
  }
  repaint();
}

void MainCanvas::openUrl(const String& url) {
  if (core_ && links_ && startup_.isSessionReady())
    links_->open(url, String(), String(), String(), String(), 0);
}

bool MainCanvas::runCommand(int id, int argument, const String& text) {
  if (!interaction_ || !commands_) return false;
  // A screen's "open this address".
  if (id == COMMAND_ADDRESS && text.length() > 0 && argument != CommandRunner::ANSWER) {
    openUrl(text);
    return true;
  }
  if (id == COMMAND_SELECT_WINDOW) {
    core_->getWindows().setCurrent(argument);
    core_->reshowCachedPage();
    return true;
  }
  if (id >= COMMAND_PANEL_BASE) {
    applyPanelCommand(id, argument, text);
    return true;
  }
  try {
    return commands_->run(id, argument, text);
  } catch (const Exception& e) {
    showMessage(
        Resource::getString(ERROR_TITLE),
        ErrorReport::text(Resource::getString(ERROR_CONTEXT, String(id)), u"Exception"_s, e.getMessage(),
                          systemProperty(u"microedition.platform"_s), shown_ ? shown_->url : String()));
    return true;
  }
}

// --- what the page interaction asks of the window ---

ViewGeometry MainCanvas::geometry() {
  ViewGeometry v;
  v.viewWidth = renderer_->viewWidth();
  v.viewHeight = renderer_->viewHeight();
  v.pageLineHeight = fonts_.pageFont() ? fonts_.pageFont()->getHeight() : 0;
  v.interfaceLineHeight = fonts_.interfaceFont() ? fonts_.interfaceFont()->getHeight() : 0;
  v.pageWidth = v.viewWidth;
  v.pageHeight = v.viewHeight;
  std::lock_guard<std::mutex> held(pageLock());
  if (ReflowLayout* layout = core_->reflowLayout()) {
    v.pageWidth = std::max(layout->pageWidth(), v.viewWidth);
    v.pageHeight = std::max(layout->pageHeight(), v.viewHeight);
  } else if (shown_) {
    int64_t z = std::max(1, renderer_->zoom());
    // The page is at least the view; in zoomed pixels.
    v.pageWidth = static_cast<int>(std::max<int64_t>(int64_t{shown_->width} * z / 100, v.viewWidth));
    v.pageHeight = static_cast<int>(std::max<int64_t>(int64_t{shown_->height} * z / 100, v.viewHeight));
  }
  return v;
}

int MainCanvas::zoom() { return renderer_->zoom(); }

int MainCanvas::orientation() { return startup_.orientation(); }

int64_t MainCanvas::now() { return steadyMillis(); }

void MainCanvas::startTicks() {
  if (!ticks_) ticks_.reset(ShortTimer::getShortTimer(this, TICK_TIMER, PageInteraction::TICK_MS, false));
  ticks_->start();
}

void MainCanvas::stopTicks() {
  if (ticks_) ticks_->stop();
}

void MainCanvas::scrollTo(int x, int y) { renderer_->scrollTo(x, y); }

void MainCanvas::repaint(bool wholePage) {
  if (wholePage) renderer_->invalidateAll();
  Frame::repaint();
}

void MainCanvas::followLink(RenderItem* linkOrArea, int pointerX, int pointerY) {
  links_->follow(linkOrArea, pointerX, pointerY, renderer_->zoom(), 0);
}

void MainCanvas::submitForm(RenderItem* form, const String& fields) {
  if (!shown_ || !form) return;
  String page = shown_->url;
  String action = UrlResolver::resolve(page, FormSubmission::action(form));
  // The files chosen for the form's upload buttons go before it, as uploads of their own.
  for (const auto& chosen : uploadFiles_) {
    if (!FormSubmission::contains(form, chosen.first)) continue;
    try {
      std::vector<char> bytes = readUploadFile(chosen.second);
      if (!bytes.empty()) core_->addPendingUpload(bytes);
    } catch (const Exception& e) {
      showMessage(Resource::getString(ERROR_TITLE), e.getMessage());
      return;
    }
  }
  links_->open(action, page, page, fields, String(), 0);
}

void MainCanvas::historyStep(int offset) { core_->historyStep(offset); }

int MainCanvas::historyPosition() { return core_->getWindows().getPosition(); }

void MainCanvas::openTextEntry(const String& text, int imeMode, int maxLength, bool multiLine) {
  if (isImeVisible()) return;
  entryMaxLength_ = maxLength;
  if (statusBar_) statusBar_->show(false);
  if (isFullScreen()) setFullScreen(false);
  imeOn(text, multiLine ? IME_MULTI_LINE : IME_SINGLE_LINE, imeMode);
  activateIme();
}

void MainCanvas::openMainMenu() { push(CommandMenus::mainMenu(menuContext())); }

void MainCanvas::openLinkMenu() {
  if (useMenu_) push(CommandMenus::linkMenu(menuContext()));
}

void MainCanvas::openFileMenu(RenderItem* uploadControl) {
  uploadControl_ = uploadControl;
  push(CommandMenus::fileMenu());
}

bool MainCanvas::commandKey(int key) {
  for (int i = 0; i < static_cast<int>(sizeof SHORTCUT_KEYS / sizeof SHORTCUT_KEYS[0]); ++i)
    if (SHORTCUT_KEYS[i] == key) return shortcuts_[i] > 0 && runCommand(shortcuts_[i]);
  return false;
}

bool MainCanvas::overlayKey(int type, int key) {
  Screen* top = screens_.top();
  if (!top) return false;
  carryOut(top->key(type, KeyScroll::remap(key, startup_.orientation())));
  return true;
}

bool MainCanvas::overlayTap(int x, int y) {
  Screen* top = screens_.top();
  if (!top) return false;
  carryOut(top->tap(x, y));
  return true;
}

bool MainCanvas::statusBarTap(int x, int y) {
  // The status line is a window of its own: its taps never reach the canvas.
  (void)x, (void)y;
  return false;
}

bool MainCanvas::movieAt(int x, int y) {
  (void)x, (void)y;
  return false;
}

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
  modeChanged();
}

void MainCanvas::createScreenBuffers(int orientation) {
  (void)orientation;  // the desktop's screen does not turn
  int w = std::max(1, getWidth()), h = std::max(1, getHeight());
  if (!renderer_) {
    renderer_.reset(new PageRenderer(this, &fonts_));
    createInteraction();
  }
  renderer_->setZoom(fonts_.baseZoom());
  renderer_->setViewSize(w, h);
  layoutWidth_ = w;
  layoutHeight_ = h;
  layoutZoom_ = renderer_->zoom();
  screen_.reset(Image::createImage(w, h, 0xFFFFFF));
  if (!pointer_) pointer_.reset(new PointerPainter(this, icons_.get()));
  core_->setOffscreenWidth(w);
  interaction_->pageChanged();
}

void MainCanvas::createInteraction() {
  interaction_.reset(new PageInteraction(this));
  commands_.reset(new CommandRunner(this));
  KeyScroll::Tuning tuning;
  tuning.firstStep = startup_.keyScroll().firstStep;
  tuning.threshold = startup_.keyScroll().threshold;
  tuning.secondStep = startup_.keyScroll().secondStep;
  // A maximum of nothing would hold the pointer still.
  tuning.maximum = startup_.keyScroll().maximum > 0 ? startup_.keyScroll().maximum : KeyScroll::NO_MAXIMUM;
  interaction_->setTuning(tuning);
  hints_.reset(new LinkHints());
  selection_.reset(new TextSelection(&fonts_));
  scrollBars_.reset(new PageScrollBars(this));
  SessionCore* core = core_.get();
  LinkFollower::Actions actions;
  actions.showPoint = [this](int x, int y) {
    interaction_->showPoint(x, y);
    Frame::repaint();
  };
  actions.openOutside = LinkFollower::desktopBrowser(core);
  links_.reset(new LinkFollower(core, actions));
  // The service's downloads go to the download program, through this window's channel.
  core_->setDownloadChannel(DownloadHandOver::through(this));
  CanvasReflowHost::Sources sources;
  sources.flags = [core] { return core->getFlags(); };
  // Layouts are also made on the parsing thread: they read the view's copy the canvas keeps for them.
  sources.view = [this] {
    CanvasReflowHost::View v;
    v.width = layoutWidth_.load();
    v.height = layoutHeight_.load();
    v.zoom = layoutZoom_.load();
    return v;
  };
  reflowHost_.reset(new CanvasReflowHost(&fonts_, sources));
  core_->setReflowHost(reflowHost_.get());
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

ReflowLayout* MainCanvas::reflowLayout() { return core_->reflowLayout(); }

Image* MainCanvas::pageImage(int index) { return core_->pageImage(index); }

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
  statusSetAt_ = steadyMillis();
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
