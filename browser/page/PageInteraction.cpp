#include "browser/page/PageInteraction.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "browser/page/FormSubmission.h"
#include "browser/page/HitTest.h"
#include "browser/page/InteractionHost.h"
#include "browser/page/Page.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"

namespace {
const int KEY_SELECT = 20;
const int KEY_BACK = 21;
const int KEY_MENU = 22;
const int KEY_ESCAPE = 24;
const int KEY_PAGE_UP = 30;
const int KEY_PAGE_UP_2 = 39;
const int KEY_PAGE_DOWN = 31;
const int KEY_PAGE_DOWN_2 = 34;
const int KEY_CLEAR = 64;
// A stylus drag moves the page once it went this far (squared pixels) from the last place taken.
const int DRAG_THRESHOLD = 50;
// In reflow mode a held key repeats its step after this many ticks.
const int REFLOW_REPEAT_AFTER = 3;

// The TouchPad reads a plain function for its clock; it runs on the interface thread only, where
// this names the host whose now() it should read.
thread_local InteractionHost* clockHost = nullptr;
int64_t hostClock() { return clockHost ? clockHost->now() : 0; }

const PagePointer::Positions NO_LINKS;
}  // namespace

PageInteraction::PageInteraction(InteractionHost* host) : host_(host) { touchPad_.setClock(hostClock); }

PageInteraction::~PageInteraction() = default;

void PageInteraction::setTuning(const KeyScroll::Tuning& tuning) { keyScroll_.setTuning(tuning); }

bool PageInteraction::reflowOn() { return (host_->canvasFlags() & FLAG_REFLOW) != 0; }

bool PageInteraction::reflowWithoutPointer() {
  int flags = host_->canvasFlags();
  return (flags & FLAG_REFLOW) && !(flags & FLAG_POINTER_MODE);
}

void PageInteraction::movedNow() {
  host_->scrollTo(pointer_.scrollX(), pointer_.scrollY());
  host_->repaint(false);
}

bool PageInteraction::moveBy(int dx, int dy) {
  ViewGeometry g = host_->geometry();
  if (!reflowWithoutPointer()) return pointer_.move(dx, dy, g);
  std::lock_guard<std::mutex> held(host_->pageLock());
  ReflowLayout* layout = host_->reflowLayout();
  return pointer_.scrollReflow(dy, g, layout ? layout->linkPositions() : NO_LINKS);
}

bool PageInteraction::reflowStep(int key) {
  if (key == KeyScroll::KEY_LEFT || key == KeyScroll::KEY_RIGHT) {
    // History moves once per press: repeating it would run through the whole history.
    if (reflowSteps_++ == 0) host_->historyStep(key == KeyScroll::KEY_LEFT ? -1 : 1);
    return false;
  }
  int direction = key == KeyScroll::KEY_UP || key == KeyScroll::KEY_LINE_UP ? -1 : 1;
  ViewGeometry g = host_->geometry();
  std::lock_guard<std::mutex> held(host_->pageLock());
  ReflowLayout* layout = host_->reflowLayout();
  return pointer_.reflowStep(direction, ++reflowSteps_, g, layout ? layout->linkPositions() : NO_LINKS);
}

void PageInteraction::keyDown(int key) {
  if (host_->overlayOpen()) {
    host_->overlayKey(0, key);
    return;
  }
  if (mode_ == MODE_LIST || mode_ == MODE_MULTIPLE_LIST) return;  // the list acts on key-up
  if (mode_ != MODE_BROWSING) {
    host_->overlayKey(0, key);
    return;
  }
  key = KeyScroll::remap(key, host_->orientation());
  // A key the desktop repeats while held keeps its first press.
  if ((key == KEY_SELECT && selectHeld_) || (KeyScroll::isDirection(key) && keyScroll_.isHeld(key))) return;
  if (key == KEY_SELECT) {
    selectHeld_ = true;
    longPressDone_ = false;
    selectPressTime_ = host_->now();
  }
  if (KeyScroll::isDirection(key)) {
    keyScroll_.press(key);
    lastDirection_ = key;
    ticksHeld_ = 0;
    reflowSteps_ = 0;
    if (reflowWithoutPointer() && reflowStep(key)) movedNow();
  }
  if (key == KEY_SELECT || KeyScroll::isDirection(key)) host_->startTicks();
}

void PageInteraction::keyUp(int key) {
  int turned = KeyScroll::remap(key, host_->orientation());
  // A key held while a menu or list opened is let go wherever its release goes.
  bool wasHeld = keyScroll_.isHeld(turned);
  keyScroll_.release(turned);
  if (!keyScroll_.anyHeld()) keyScroll_.clear();
  bool selectWasHeld = selectHeld_;
  if (key == KEY_SELECT) selectHeld_ = false;
  if (key == KEY_SELECT && longPressDone_) {
    longPressDone_ = false;
    return;
  }
  if (host_->overlayOpen()) {
    host_->overlayKey(1, key);
    return;
  }
  if (mode_ == MODE_LIST || mode_ == MODE_MULTIPLE_LIST) {
    bool repaintPage = false;
    bool closed;
    {
      std::lock_guard<std::mutex> held(host_->pageLock());
      closed = controls_.listKey(turned, &repaintPage);
    }
    if (closed) mode_ = MODE_BROWSING;
    host_->repaint(repaintPage || closed);
    return;
  }
  if (mode_ != MODE_BROWSING) {
    host_->overlayKey(1, key);
    return;
  }
  key = turned;
  // A tap shorter than a tick still moves a line.
  if (wasHeld && key == lastDirection_ && ticksHeld_ == 0 && !reflowWithoutPointer()) {
    int line = host_->geometry().pageLineHeight + 2;
    int dx = key == KeyScroll::KEY_LEFT ? -line : key == KeyScroll::KEY_RIGHT ? line : 0;
    int dy = key == KeyScroll::KEY_UP || key == KeyScroll::KEY_LINE_UP       ? -line
             : key == KeyScroll::KEY_DOWN || key == KeyScroll::KEY_LINE_DOWN ? line
                                                                             : 0;
    if (moveBy(dx, dy)) movedNow();
  }
  switch (key) {
    case KEY_SELECT: {
      if (!selectWasHeld) return;  // its key-down went elsewhere
      if (host_->movieAt(pointer_.x(), pointer_.y())) {
        mode_ = MODE_MOVIE;
        return;
      }
      RenderItem* item = nullptr;
      {
        std::lock_guard<std::mutex> held(host_->pageLock());
        Page* page = host_->page();
        if (page) item = HitTest::at(*page, pointer_.x(), pointer_.y(), host_->zoom(), reflowOn());
      }
      activateAt(item, pointer_.x(), pointer_.y());
      return;
    }
    case KEY_MENU:
      host_->openMainMenu();
      return;
    case KEY_PAGE_UP:
    case KEY_PAGE_UP_2:
      pageStep(-1);
      return;
    case KEY_PAGE_DOWN:
    case KEY_PAGE_DOWN_2:
      pageStep(1);
      return;
    case KEY_BACK:
      host_->historyStep(-1);
      return;
    case KEY_CLEAR:
      if (host_->historyPosition() >= 1) host_->historyStep(-1);
      return;
    default:
      if (!KeyScroll::isDirection(key)) host_->commandKey(key);
      return;
  }
}

void PageInteraction::tick() {
  int64_t now = host_->now();
  bool moved = false;
  if (selectHeld_ && now - selectPressTime_ >= LONG_PRESS_MS) {
    selectHeld_ = false;
    longPressDone_ = true;
    // The menu is about the item under the pointer: a held stylus puts the pointer where it is.
    if (stylusDown_) pointer_.setPointer(anchorX_ + pointer_.scrollX(), anchorY_ + pointer_.scrollY());
    host_->openLinkMenu();
  } else if (keyScroll_.anyHeld() && mode_ == MODE_BROWSING && !host_->overlayOpen()) {
    ++ticksHeld_;
    if (!reflowWithoutPointer()) {
      int dx, dy;
      keyScroll_.step(host_->geometry().pageLineHeight, &dx, &dy);
      moved = moveBy(dx, dy);
    } else if (ticksHeld_ > REFLOW_REPEAT_AFTER) {
      moved = reflowStep(lastDirection_);
    }
  }
  flickTick(now, &moved);
  if (moved) movedNow();
  if (!needsTicks()) host_->stopTicks();
}

bool PageInteraction::needsTicks() const { return keyScroll_.anyHeld() || selectHeld_ || flick_.running(); }

void PageInteraction::flickTick(int64_t now, bool* moved) {
  if (!flick_.running()) return;
  int dx, dy;
  flick_.tick(now, &dx, &dy);
  if (dx == 0 && dy == 0) return;
  bool reflow = reflowWithoutPointer();
  if (reflow) dx = 0;
  int beforeX = reflow ? pointer_.scrollX() : pointer_.x();
  int beforeY = reflow ? pointer_.scrollY() : pointer_.y();
  if (moveBy(dx, dy)) *moved = true;
  // An axis that could not move all the way met the page's edge.
  int afterX = reflow ? pointer_.scrollX() : pointer_.x();
  int afterY = reflow ? pointer_.scrollY() : pointer_.y();
  if (reflow || afterX - beforeX != dx) flick_.stopX();
  if (afterY - beforeY != dy) flick_.stopY();
}

void PageInteraction::pageStep(int direction) {
  ViewGeometry g = host_->geometry();
  bool reflow = reflowWithoutPointer();
  {
    std::lock_guard<std::mutex> held(host_->pageLock());
    ReflowLayout* layout = reflow ? host_->reflowLayout() : nullptr;
    pointer_.page(direction, reflow, g, layout ? layout->linkPositions() : NO_LINKS);
  }
  host_->scrollTo(pointer_.scrollX(), pointer_.scrollY());
  host_->repaint(true);
}

void PageInteraction::pointerPressed(int x, int y) {
  clockHost = host_;
  // A press too short to measure keeps the TouchPad's last velocities: it would throw again.
  touchPad_.setVelocityX(0);
  touchPad_.setVelocityY(0);
  touchPad_.onPointerPressed(x, y);
  stylusDown_ = true;
  dragging_ = false;
  anchorX_ = x;
  anchorY_ = y;
  pressStoppedFlick_ = flick_.running();
  if (pressStoppedFlick_ || host_->overlayOpen() || mode_ != MODE_BROWSING) return;
  // Holding the stylus still opens the link menu as holding select does.
  selectHeld_ = true;
  longPressDone_ = false;
  selectPressTime_ = host_->now();
  host_->startTicks();
}

void PageInteraction::pointerDragged(int x, int y) {
  if (!stylusDown_) return;
  clockHost = host_;
  touchPad_.onPointerDragged(x, y);
  if (flick_.running()) flick_.setRate(FlickAnimation::DRAG_RATE);
  if (host_->overlayOpen() || mode_ != MODE_BROWSING || longPressDone_) return;
  int dx = x - anchorX_, dy = y - anchorY_;
  if (dx * dx + dy * dy < DRAG_THRESHOLD) return;
  anchorX_ = x;
  anchorY_ = y;
  dragging_ = true;
  selectHeld_ = false;  // a moving stylus is no long press
  if (moveBy(-dx, -dy)) movedNow();
}

void PageInteraction::pointerReleased(int x, int y) {
  if (!stylusDown_) return;
  clockHost = host_;
  touchPad_.onPointerReleased(x, y);
  stylusDown_ = false;
  flick_.setRate(FlickAnimation::RATE);
  selectHeld_ = false;
  bool wasDragging = dragging_;
  dragging_ = false;
  if (longPressDone_) {
    longPressDone_ = false;
    return;
  }
  if (touchPad_.isTapped() && !wasDragging) {
    if (pressStoppedFlick_)
      flick_.stop();
    else
      tap(x, y);
  } else if (host_->overlayOpen()) {
    host_->overlayTap(x, y);
  } else if (touchPad_.isThrown() && mode_ == MODE_BROWSING) {
    // The page follows the stylus: the pointer and the view move against it.
    flick_.start(-touchPad_.getVelocityX(), -touchPad_.getVelocityY(), host_->now());
    host_->startTicks();
  } else if (pressStoppedFlick_) {
    flick_.stop();
  }
  host_->repaint(false);
}

void PageInteraction::tap(int x, int y) {
  if (host_->statusBarTap(x, y)) return;
  if (host_->overlayOpen() || mode_ == MODE_MOVIE) {
    host_->overlayTap(x, y);
    return;
  }
  ViewGeometry g = host_->geometry();
  if (mode_ == MODE_LIST || mode_ == MODE_MULTIPLE_LIST) {
    // For the stylus alone: a single-choice list takes the row tapped at once, a tap beside a list
    // closes it (a multiple one keeping its choices).
    bool onList, repaintPage = false, closed = false;
    {
      std::lock_guard<std::mutex> held(host_->pageLock());
      onList = controls_.listTap(x, y, pointer_.scrollX(), pointer_.scrollY(), host_->zoom(),
                                 g.pageLineHeight, g.interfaceLineHeight);
      if (onList && mode_ == MODE_LIST)
        closed = controls_.listKey(KEY_SELECT, &repaintPage);
      else if (!onList)
        closed = controls_.listKey(mode_ == MODE_LIST ? KEY_ESCAPE : KEY_MENU, &repaintPage);
    }
    if (closed) mode_ = MODE_BROWSING;
    host_->repaint(onList || repaintPage || closed);
    return;
  }
  int px = x + pointer_.scrollX(), py = y + pointer_.scrollY();
  RenderItem* item = nullptr;
  {
    std::lock_guard<std::mutex> held(host_->pageLock());
    Page* page = host_->page();
    if (page) item = HitTest::at(*page, px, py, host_->zoom(), reflowOn());
  }
  activateAt(item, px, py);
}

void PageInteraction::activate(RenderItem* item) { activateAt(item, pointer_.x(), pointer_.y()); }

void PageInteraction::activateAt(RenderItem* item, int pageX, int pageY) {
  if (!item) return;
  if (item->type == RenderItem::LINK || item->type == RenderItem::AREA) {
    host_->followLink(item, pageX, pageY);
    return;
  }
  if (item->type != RenderItem::CONTROL) return;
  keyScroll_.clear();
  FormControls::Result r;
  String fields;
  {
    std::lock_guard<std::mutex> held(host_->pageLock());
    Page* page = host_->page();
    if (!page) return;
    r = controls_.activate(*page, item, pageX, pageY, host_->zoom(), reflowOn(), host_->pageOverlays());
    if (r.outcome == FormControls::SUBMIT)
      fields = FormSubmission::fields(r.form, r.button, r.pointX, r.pointY);
  }
  switch (r.outcome) {
    case FormControls::NOTHING:
      return;
    case FormControls::REPAINT_PAGE:
      host_->repaint(true);
      return;
    case FormControls::TEXT_ENTRY:
      host_->openTextEntry(r.text, r.imeMode, r.maxLength, r.multiLine);
      return;
    case FormControls::LIST_OPENED:
      mode_ = r.mode;
      host_->repaint(true);
      return;
    case FormControls::SUBMIT:
      host_->submitForm(r.form, fields);
      return;
    case FormControls::RESET:
      host_->historyStep(0);
      return;
    case FormControls::FILE_MENU:
      host_->openFileMenu(r.control);
      return;
  }
}

void PageInteraction::setText(const String& text) {
  {
    std::lock_guard<std::mutex> held(host_->pageLock());
    controls_.setText(text);
  }
  host_->repaint(true);
}

void PageInteraction::pageChanged() {
  {
    std::lock_guard<std::mutex> held(host_->pageLock());
    controls_.pageChanged();
  }
  pointer_.reset(host_->geometry());
  mode_ = MODE_BROWSING;
  flick_.stop();
  keyScroll_.clear();
  selectHeld_ = longPressDone_ = false;
  dragging_ = false;
  host_->scrollTo(pointer_.scrollX(), pointer_.scrollY());
}

void PageInteraction::showPoint(int x, int y) {
  (void)x;  // the view keeps its side: anchors name rows
  ViewGeometry g = host_->geometry();
  if (reflowWithoutPointer()) {
    std::lock_guard<std::mutex> held(host_->pageLock());
    ReflowLayout* layout = host_->reflowLayout();
    pointer_.scrollReflow(y - pointer_.scrollY(), g, layout ? layout->linkPositions() : NO_LINKS);
  } else {
    pointer_.setPointer(pointer_.x(), y + g.viewHeight / 2);
    pointer_.move(0, 0, g);
  }
  host_->scrollTo(pointer_.scrollX(), pointer_.scrollY());
  host_->repaint(true);
}

void PageInteraction::goToEnd(bool bottom) {
  ViewGeometry g = host_->geometry();
  showPoint(pointer_.x(), bottom ? std::max(0, g.pageHeight - g.viewHeight) : 0);
}

void PageInteraction::zoomChanged(int oldZoom, int newZoom) {
  pointer_.rescale(oldZoom, newZoom);
  host_->scrollTo(pointer_.scrollX(), pointer_.scrollY());
}
