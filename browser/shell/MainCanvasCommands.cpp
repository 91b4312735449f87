// The canvas's side of the commands: the open menus and panels, and what the command runner asks of
// the window. The rest of MainCanvas is in MainCanvas.cpp.
#include <algorithm>
#include <cstdint>

#include "browser/menu/AboutPanel.h"
#include "browser/menu/BookmarkFilePanel.h"
#include "browser/menu/BookmarkListScreen.h"
#include "browser/menu/ColoursPanel.h"
#include "browser/menu/CommandId.h"
#include "browser/menu/CommandMenus.h"
#include "browser/menu/CommandRunner.h"
#include "browser/menu/ConfirmPanel.h"
#include "browser/menu/CookiesPanel.h"
#include "browser/menu/FontPanel.h"
#include "browser/menu/HomePagePanel.h"
#include "browser/menu/KeySpeedPanel.h"
#include "browser/menu/LanguagePanel.h"
#include "browser/menu/LinkInfoPanel.h"
#include "browser/menu/MenuOrder.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/MessagePanel.h"
#include "browser/menu/OrientationPanel.h"
#include "browser/menu/PageInfoPanel.h"
#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "browser/menu/PanelSettings.h"
#include "browser/menu/RestoreScreen.h"
#include "browser/menu/SettingToggles.h"
#include "browser/menu/ShortcutPanel.h"
#include "browser/menu/SideMenuScreen.h"
#include "browser/menu/SoftKeyTable.h"
#include "browser/menu/StoragePanel.h"
#include "browser/menu/SyncPanel.h"
#include "browser/menu/TextSizePanel.h"
#include "browser/menu/TogglePanel.h"
#include "browser/menu/UserAgentPanel.h"
#include "browser/menu/VisitedScreen.h"
#include "browser/page/HitTest.h"
#include "browser/page/KeyScroll.h"
#include "browser/page/LinkHints.h"
#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "browser/page/TextSelection.h"
#include "browser/service/Background.h"
#include "browser/shell/BrowserStatusBar.h"
#include "browser/shell/DefaultBrowser.h"
#include "browser/shell/LinkFollower.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/UrlResolver.h"
#include "browser/store/BookmarkFile.h"
#include "browser/store/RecordStore.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Clipboard.h"
#include "vwt/ui/FileChooser.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/ImageStore.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace {
// Settings entries the canvas keeps in step with its panels.
const int SETTING_LAST_MAIN_ROW = 14;
const int SETTING_PAGE_FONT = 18;
// Canvas flag: the on-screen pointer is hidden.
const int FLAG_POINTER_HIDDEN = 1 << 27;
// The handset whose own soft keys keep their labels.
const char16_t OWN_SOFT_KEYS[] = u"F903i";
// The find highlight: a translucent marker colour over the page.
const int FOUND_COLOUR = static_cast<int>(0x60FFD700u);
const int FOUND_FRAME = static_cast<int>(0xFFE0A000u);
// A window without a page in the window list.
const char16_t BLANK_WINDOW[] = u"about:blank";
const int MESSAGE_LAYING_OUT = 10018;
const int ERROR_TITLE = 10002;
const int MESSAGE_FILE_MENU = 10067;
// The backup picture: made, no usable section, read back and applied, unreadable.
const int MESSAGE_BACKUP_FAILED = 10191;
const int MESSAGE_BACKUP_DONE = 10283, MESSAGE_BACKUP_EMPTY = 10284, MESSAGE_RESTORED = 10285;
// Bookmark files: the dialog's filter, imported, exported; the upload button without a file.
const int MESSAGE_BOOKMARK_FILE_FILTER = 10286, MESSAGE_BOOKMARKS_IMPORTED = 10287;
const int MESSAGE_BOOKMARKS_EXPORTED = 10288, MESSAGE_NO_FILE = 10289;
// An upload larger than the service takes.
const size_t MAX_UPLOAD_BYTES = 1000 * 1000;
const int MESSAGE_UPLOAD_TOO_LARGE = 10290;

int zoomed(int v, int zoom) { return static_cast<int>(static_cast<int64_t>(v) * zoom / 100); }
}  // namespace

int MainCanvas::mode() const {
  if (screens_.size() > 0) return screens_.mode();
  return interaction_ ? interaction_->mode() : PageInteraction::MODE_BROWSING;
}

// --- the screens ---

void MainCanvas::push(Screen* screen) {
  if (!screen) return;
  if (PanelScreen* panel = dynamic_cast<PanelScreen*>(screen)) panel->setLook(paletteSet(), isTranslucent());
  screen->layout(getWidth(), screenHeight(), fonts_.interfaceFont());
  screens_.push(screen);
  hints_->close();
  modeChanged();
  Frame::repaint();
}

int MainCanvas::screenHeight() {
  // The status line shows while a menu or panel is open, over the canvas's bottom.
  return std::max(1, getHeight() - (statusBar_ ? statusBar_->getHeight() : 0));
}

void MainCanvas::layOutScreens() {
  for (int i = 0; i < screens_.size(); ++i)
    screens_.at(i)->layout(getWidth(), screenHeight(), fonts_.interfaceFont());
}

void MainCanvas::bookmarksReplaced() {
  for (int i = 0; i < screens_.size(); ++i) {
    if (!dynamic_cast<BookmarkListScreen*>(screens_.at(i))) continue;
    // Its rows and any open editor name nodes of the old list.
    while (screens_.size() > i) screens_.pop();
    push(new BookmarkListScreen(bookmarks(), [this] { bookmarksChanged(); }));
    return;
  }
}

void MainCanvas::carryOut(const ScreenResult& result) {
  switch (result.action) {
    case ScreenResult::IGNORED:
      return;
    case ScreenResult::CHANGED:
      break;
    case ScreenResult::CLOSE:
      screens_.pop();
      modeChanged();
      break;
    case ScreenResult::COMMAND: {
      // The main menu opens where it was last used.
      if (screens_.mode() == 1)
        if (MenuScreen* menu = dynamic_cast<MenuScreen*>(screens_.top()))
          store().setSetting(SETTING_LAST_MAIN_ROW, menu->selected());
      screens_.pop();
      modeChanged();
      runCommand(result.command, result.argument, result.text);
      break;
    }
    case ScreenResult::COMMAND_KEEP:
      runCommand(result.command, result.argument, result.text);
      break;
    case ScreenResult::ENTRY:
      entryTarget_ = ENTRY_SCREEN;
      openTextEntry(result.text, result.imeMode, result.maxLength, false);
      break;
  }
  Frame::repaint();
}

void MainCanvas::modeChanged() {
  int left = 0, right = 0;
  SoftKeyTable::labels(mode(), useMenu_, &left, &right);
  String l = left ? Resource::getString(left) : String(), r = right ? Resource::getString(right) : String();
  if (statusBar_) {
    statusBar_->setLabel(l, 0);
    statusBar_->setLabel(r, 1);
  }
  if (startup_.platform().indexOf(String(OWN_SOFT_KEYS, false)) < 0) {
    setSoftLabel(SOFT_KEY_LEFT, l);
    setSoftLabel(SOFT_KEY_RIGHT, r);
  }
}

MenuContext MainCanvas::menuContext() {
  MenuContext c;
  c.historyPosition = historyPosition();
  c.reflow = (flags_ & PageInteraction::FLAG_REFLOW) != 0;
  Target target = pointerTarget();
  c.linkUnderPointer = target.link;
  c.imageUnderPointer = target.image;
  c.requestRunning = requestRunning();
  c.useMenu = useMenu_;
  std::copy(shortcuts_, shortcuts_ + 12, c.shortcuts);
  c.lastMainRow = store().getSetting(SETTING_LAST_MAIN_ROW);
  c.flags = flags_;
  c.gpsCapable = gpsCapable();
  return c;
}

void MainCanvas::loadShortcuts() {
  AutoPtr<Vector<Object*>> stored(store().readRecord(RecordStore::SHORTCUTS, u"I"_s));
  for (int i = 0; i < 12; ++i) {
    Integer* command = i < stored->size() ? dynamic_cast<Integer*>(stored->elementAt(i)) : nullptr;
    shortcuts_[i] = command ? command->intValue() : 0;
  }
}

void MainCanvas::openScreen(int command, int argument) {
  (void)argument;
  switch (command) {
    case COMMAND_SETTINGS:
    case COMMAND_START_PAGE:  // the main menu's last row leads to every other command
      push(CommandMenus::settingsMenu(menuContext()));
      return;
    case COMMAND_SEARCH:
      push(CommandMenus::letterMenu(MenuOrder(store().readString(RecordStore::MENU_ORDER, String()))));
      return;
    case COMMAND_WINDOWS: {
      std::vector<String> labels;
      BrowsingWindows& windows = core_->getWindows();
      for (int w = 0; w < windows.getCount(); ++w) {
        SharedPtr<Page> page = windows.getPage(windows.getPosition(w), w);
        String label = !page                      ? String(BLANK_WINDOW, false)
                       : page->title.length() > 0 ? page->title
                       : page->url.length() > 0   ? page->url
                                                  : String(BLANK_WINDOW, false);
        labels.push_back(label);
      }
      push(CommandMenus::windowList(labels, windows.getCurrent()));
      return;
    }
    case COMMAND_PAGE_INFO:
      if (shown_) push(PageInfoPanel::create(shown_->title, shown_->url));
      return;
    case COMMAND_LINK_INFO: {
      Target target = pointerTarget();
      if (!target.link) return;
      String url = shown_ ? UrlResolver::resolve(shown_->url, target.linkUrl) : target.linkUrl;
      push(LinkInfoPanel::create(target.linkText, url,
                                 UrlResolver::isInternal(url, systemProperty(u"service.host"_s))));
      return;
    }
    case COMMAND_ABOUT:
      push(AboutPanel::create());
      return;
    case COMMAND_BOOKMARKS:
      push(new BookmarkListScreen(bookmarks(), [this] { bookmarksChanged(); }));
      return;
    case COMMAND_VISITED: {
      AutoPtr<Vector<Object*>> visited(
          store().readRecord(RecordStore::VISITED, RecordStore::typeOf(RecordStore::VISITED)));
      push(new VisitedScreen(*visited));
      return;
    }
    case COMMAND_RESTORE:
      push(new RestoreScreen(argument));
      return;
    default:
      if (const SettingToggles::Toggle* toggle = SettingToggles::find(command)) {
        push(TogglePanel::create(toggle->nameId, argument == 1));
        return;
      }
      if (PanelScreen* panel = settingsPanel(command)) push(panel);
      return;
  }
}

PanelScreen* MainCanvas::settingsPanel(int command) {
  RecordStore& s = store();
  switch (command) {
    case COMMAND_TEXT_SIZE_PANEL:
      return TextSizePanel::create(s.getSetting(SETTING_PAGE_FONT), fonts_.fontCount());
    case COMMAND_COLOURS_PANEL:
      return ColoursPanel::create(paletteSet());
    case COMMAND_STORAGE_PANEL: {
      int freeBytes = 0;
      std::vector<int> extents = s.readFreeList();
      for (size_t i = 1; i < extents.size(); i += 2) freeBytes += extents[i];
      int total = RecordStore::DATA_AREA_SIZE - RecordStore::FIRST_BLOCK;
      AutoPtr<Vector<Object*>> visited(
          s.readRecord(RecordStore::VISITED, RecordStore::typeOf(RecordStore::VISITED)));
      return StoragePanel::create(total - freeBytes, total, bookmarks().nodeCount(),
                                  core_->getCookieStore().persistentCount(), visited->size());
    }
    case COMMAND_COOKIES_PANEL: {
      std::vector<String> rows;
      AutoPtr<Vector<Object*>> stored(
          s.readRecord(RecordStore::COOKIES, RecordStore::typeOf(RecordStore::COOKIES)));
      for (int i = 0; i < stored->size(); ++i)
        if (String* text = dynamic_cast<String*>(stored->elementAt(i))) rows.push_back(*text);
      return CookiesPanel::create(rows);
    }
    case COMMAND_LANGUAGE_PANEL:
      return LanguagePanel::create(s.getSetting(12));
    case COMMAND_FONT_PANEL: {
      std::vector<String> names;
      for (int i = 0; i < fonts_.fontCount(); ++i) names.push_back(String(i));
      return FontPanel::create(FontPanel::PAGE, names, s.getSetting(SETTING_PAGE_FONT));
    }
    case COMMAND_HOME_PAGE_PANEL:
      return HomePagePanel::create(s.readString(RecordStore::HOME_URL, String()),
                                   shown_ ? shown_->url : String(), startup_.homeUrl());
    case COMMAND_KEY_SPEED_PANEL:
      return KeySpeedPanel::create(s.getSetting(6), s.getSetting(7), s.getSetting(8), s.getSetting(9));
    case COMMAND_USER_AGENT_PANEL:
      return UserAgentPanel::create(UserAgentPanel::labelsFromProperties(), s.getSetting(22));
    case COMMAND_SYNC_PANEL:
      return SyncPanel::create(s.getSetting(1), bookmarks().nodeCount());
    case COMMAND_ORIENTATION_PANEL:
      return OrientationPanel::create(s.getSetting(11));
    case COMMAND_SHORTCUT_PANEL:
      return ShortcutPanel::create(shortcuts_);
    case COMMAND_IMPORT_EXPORT_PANEL:
      return BookmarkFilePanel::create(bookmarks().nodeCount());
    default:
      return nullptr;
  }
}

void MainCanvas::applyPanelCommand(int command, int argument, const String& text) {
  if (command == RestoreScreen::COMMAND_RESTORE_CHOSEN) {
    restoreBackup(argument);
    return;
  }
  if (command == PANEL_IMPORT_BOOKMARK_FILE || command == PANEL_EXPORT_BOOKMARK_FILE) {
    bookmarkFile(command == PANEL_IMPORT_BOOKMARK_FILE);
    return;
  }
  int before = this->flags(), flags = before;
  if (!PanelSettings::apply(command, argument, text, store(), &flags)) return;
  if (flags != before) setFlags(flags);
  core_->reloadSettings();
  if (command >= PANEL_SHORTCUT_KEY && command <= PANEL_SHORTCUT_KEY_LAST) loadShortcuts();
  if (command == PANEL_PAGE_FONT || command == PANEL_INTERFACE_FONT || command == PANEL_BASE_FONT)
    setPageFont(store().getSetting(SETTING_PAGE_FONT));
  if (command == PANEL_PALETTE) {
    palette_ = store().getSetting(17);
    // The open panels take the new colours' text colour.
    for (int i = 0; i < screens_.size(); ++i)
      if (PanelScreen* panel = dynamic_cast<PanelScreen*>(screens_.at(i)))
        panel->setLook(palette_, isTranslucent());
  }
  if (command >= PANEL_KEY_FIRST_STEP && command <= PANEL_KEY_MAX_SPEED) {
    KeyScroll::Tuning tuning;
    tuning.firstStep = store().getSetting(6);
    tuning.threshold = store().getSetting(7);
    tuning.secondStep = store().getSetting(8);
    tuning.maximum = store().getSetting(9) > 0 ? store().getSetting(9) : KeyScroll::NO_MAXIMUM;
    interaction_->setTuning(tuning);
  }
  repaint(true);
}

// --- what the command runner asks of the window ---

void MainCanvas::withPage(const std::function<void(Page* page, ReflowLayout* reflow)>& use) {
  std::lock_guard<std::mutex> held(pageLock());
  use(shown_.get(), core_->reflowLayout());
}

RenderItem* MainCanvas::itemUnderPointer() {
  if (!shown_) return nullptr;
  return HitTest::at(*shown_, interaction_->pointerX(), interaction_->pointerY(), renderer_->zoom(),
                     (flags_ & PageInteraction::FLAG_REFLOW) != 0);
}

RenderItem* MainCanvas::pictureUnderPointer() {
  if (!shown_ || !shown_->items || (flags_ & PageInteraction::FLAG_REFLOW)) return nullptr;
  int zoom = std::max(1, renderer_->zoom());
  int px = static_cast<int>(int64_t{interaction_->pointerX()} * 100 / zoom);
  int py = static_cast<int>(int64_t{interaction_->pointerY()} * 100 / zoom);
  Vector<RenderItem*>* items = shown_->items.get();
  // The last one drawn is the one on top.
  for (int i = items->size() - 1; i >= 0; --i) {
    RenderItem* it = items->elementAt(i);
    if (!it || (it->type != RenderItem::IMAGE && it->type != RenderItem::IMAGE_ALT) || it->name.length() == 0)
      continue;
    if (px >= it->x && py >= it->y && px < it->x + it->width && py < it->y + it->height) return it;
  }
  return nullptr;
}

CommandHost::Target MainCanvas::pointerTarget() {
  Target t;
  if (!shown_ || !interaction_) return t;
  std::lock_guard<std::mutex> held(pageLock());
  RenderItem* item = itemUnderPointer();
  if (item && (item->type == RenderItem::LINK || item->type == RenderItem::AREA)) {
    t.link = true;
    t.linkUrl = item->text;
    for (int i = 0; i < RenderItem::refCountOf(item); ++i) {
      RenderItem* part = RenderItem::refOf(item, i);
      if (part && part->type == RenderItem::TEXT) t.linkText = t.linkText + part->text;
    }
  }
  // The picture under the pointer, by the address the page gave it.
  if (RenderItem* picture = pictureUnderPointer()) {
    t.image = true;
    t.imageUrl = UrlResolver::resolve(shown_->url, picture->name);
  }
  return t;
}

bool MainCanvas::requestRunning() {
  Background* worker = core_->getWorker();
  return worker && worker->isAlive();
}

void MainCanvas::toggleReflow() {
  core_->setStatusText(Resource::getString(MESSAGE_LAYING_OUT));
  core_->setReflowMode(!(flags_ & PageInteraction::FLAG_REFLOW));
  flags_ = core_->getFlags();
  // Either view starts with the pointer in the middle of its first screen.
  interaction_->pageChanged();
  hints_->close();
  core_->setStatusText(String());
  repaint(true);
}

void MainCanvas::openUrl(const String& url, const String& referrer, const String& base, int flags) {
  if (core_ && links_ && startup_.isSessionReady())
    links_->open(url, referrer, base, String(), String(), flags);
}

void MainCanvas::followLinkUnderPointer(int flags) {
  RenderItem* item;
  {
    std::lock_guard<std::mutex> held(pageLock());
    item = itemUnderPointer();
  }
  if (item && (item->type == RenderItem::LINK || item->type == RenderItem::AREA))
    links_->follow(item, interaction_->pointerX(), interaction_->pointerY(), renderer_->zoom(), flags);
}

void MainCanvas::openOutside(const String& url) { LinkFollower::desktopBrowser(core_.get())(url); }

void MainCanvas::launch(int launchType, const String& argument) {
  Application* app = Application::getCurrentApp();
  if (!app) return;
  try {
    app->launch(static_cast<Application::LaunchType>(launchType), argument);
  } catch (const Exception& e) {
    core_->queueMessage(String(), e.getMessage());
  }
}

void MainCanvas::handOverDownload(const String& url, const String& referrer) {
  core_->launchDownload(url, referrer, core_->getCookieStore().cookieText(url, referrer));
}

void MainCanvas::cancelRequest() {
  core_->cancel();
  core_->setStatusText(String());
}

void MainCanvas::quit() {
  core_->cancel();
  terminate();
}

void MainCanvas::loadImages() {
  if (shown_) core_->startWorker(new Background(core_.get(), Background::IMAGES));
}

void MainCanvas::goToPageEnd(bool bottom) {
  interaction_->goToEnd(bottom);
  repaint(true);
}

void MainCanvas::pageStep(int direction) { interaction_->pageStep(direction); }

void MainCanvas::showFound(const std::vector<Area>& areas) {
  found_ = areas;
  if (!areas.empty()) {
    bool reflow = (flags_ & PageInteraction::FLAG_REFLOW) != 0;
    int zoom = reflow ? 100 : renderer_->zoom();
    const Area& a = areas.front();
    // The find lands a third of the way down the view, with a little of what comes before above it.
    interaction_->showPoint(zoomed(a.x, zoom), std::max(0, zoomed(a.y, zoom) - renderer_->viewHeight() / 3));
  }
  Frame::repaint();
}

void MainCanvas::drawFound(Graphics& g) {
  if (found_.empty() || !shown_) return;
  int zoom = (flags_ & PageInteraction::FLAG_REFLOW) ? 100 : renderer_->zoom();
  for (const Area& a : found_) {
    int x = zoomed(a.x, zoom) - renderer_->scrollX(), y = zoomed(a.y, zoom) - renderer_->scrollY();
    int w = std::max(1, zoomed(a.width, zoom)), h = std::max(1, zoomed(a.height, zoom));
    g.setColorARGB(FOUND_COLOUR);
    g.fillRect(x, y, w, h);
    g.setColorARGB(FOUND_FRAME);
    g.drawRect(x - 1, y - 1, w + 1, h + 1);
  }
}

void MainCanvas::closeWindow() { core_->closeWindow(core_->getWindows().getCurrent()); }

int MainCanvas::pageFontIndex() { return store().getSetting(SETTING_PAGE_FONT); }

int MainCanvas::fontCount() { return fonts_.fontCount(); }

void MainCanvas::setPageFont(int index) {
  RecordStore& s = store();
  if (index != s.getSetting(SETTING_PAGE_FONT)) s.setSetting(SETTING_PAGE_FONT, index);
  int oldZoom = renderer_->zoom();
  fonts_.setUp(startup_.handset().scalableFonts, index, s.getSetting(19), s.getSetting(20));
  core_->setFontMetrics(fonts_.metrics());
  int newZoom = fonts_.baseZoom();
  renderer_->setZoom(newZoom);
  core_->setZoom(newZoom);
  layoutZoom_ = newZoom;
  if (newZoom != oldZoom) interaction_->zoomChanged(oldZoom, newZoom);
  layOutScreens();
  repaint(true);
}

void MainCanvas::confirm(int titleId, const String& text, int command) {
  push(ConfirmPanel::create(Resource::getString(titleId), text, command));
}

void MainCanvas::openEntry(int command, const String& text, int imeMode, int maxLength) {
  entryTarget_ = ENTRY_COMMAND;
  entryCommand_ = command;
  openTextEntry(text, imeMode, maxLength, false);
}

void MainCanvas::showMessage(const String& title, const String& text) {
  push(MessagePanel::create(title, text));
}

void MainCanvas::setStatusText(const String& text) { core_->setStatusText(text); }

void MainCanvas::copyToClipboard(const String& text) {
  // What the user marked goes before the whole page.
  Clipboard::setText(selection_->hasSelection() ? selection_->selectedText() : text);
}

RecordStore& MainCanvas::store() { return core_->getStore(); }

Bookmarks& MainCanvas::bookmarks() { return core_->getBookmarks(); }

void MainCanvas::bookmarksChanged() { core_->bookmarksChanged(); }

int MainCanvas::flags() {
  // The session's word is the truth: the bookmarks and the service's answers change it too.
  flags_ = core_->getFlags();
  return flags_;
}

void MainCanvas::setFlags(int flags) {
  flags_ = flags;
  core_->setFlags(flags);
  repaint(true);
}

bool MainCanvas::gpsCapable() { return startup_.handset().gpsCapable; }

String MainCanvas::serviceRoot() {
  String endpoint = core_->getEndpoint();
  int path = endpoint.indexOf(u'/', endpoint.indexOf(u"://"_s) + 3);
  return path < 0 ? endpoint : endpoint.substring(0, path);
}

bool MainCanvas::saveImageUnderPointer() {
  int index = -1;
  {
    std::lock_guard<std::mutex> held(pageLock());
    if (RenderItem* item = pictureUnderPointer()) index = item->imageIndex;
  }
  // A copy: the page's own may go while the save dialog is open.
  std::unique_ptr<MediaImage> picture(index >= 0 ? core_->copyPageMediaImage(index) : nullptr);
  if (!picture) return false;
  try {
    return ImageStore::addEntry(this, picture.get()).length() > 0;
  } catch (const Exception& e) {
    showMessage(Resource::getString(ERROR_TITLE), e.getMessage());
    return false;
  }
}

void MainCanvas::freeStoredPageData() {
  store().removeRecord(RecordStore::WINDOWS);
  core_->ensureFreeMemory(INT64_MAX);
}

void MainCanvas::clearCookies() { core_->getCookieStore().clear(); }

void MainCanvas::backUpUserData() {
  try {
    std::vector<char> picture = core_->makeBackupPicture();
    std::unique_ptr<MediaImage> image(
        MediaManager::getImage(picture.data(), 0, static_cast<int>(picture.size())));
    if (!image) throw Exception(Resource::getString(MESSAGE_BACKUP_FAILED));
    if (ImageStore::addEntry(this, image.get()).length() > 0)
      showMessage(String(), Resource::getString(MESSAGE_BACKUP_DONE));
  } catch (const Exception& e) {
    showMessage(Resource::getString(ERROR_TITLE), e.getMessage());
  }
}

int MainCanvas::readBackup() {
  try {
    std::unique_ptr<ImageStore> chosen(ImageStore::selectEntry(this));
    if (!chosen) return 0;
    AutoPtr<InputStream> in(chosen->getInputStream());
    int found = core_->openBackup(*in);
    if (found == 0) showMessage(String(), Resource::getString(MESSAGE_BACKUP_EMPTY));
    return found;
  } catch (const Exception& e) {
    showMessage(Resource::getString(ERROR_TITLE), e.getMessage());
    return 0;
  }
}

void MainCanvas::restoreBackup(int chosenBits) {
  if (core_->restoreBackup(chosenBits) == 0) return;
  // The flag word, the shortcut keys and the settings may all have come back.
  flags_ = core_->getFlags();
  loadShortcuts();
  repaint(true);
  showMessage(String(), Resource::getString(MESSAGE_RESTORED));
}

void MainCanvas::bookmarkFile(bool import) {
  FileChooser chooser;
  chooser.setFileNameFilter(Resource::getString(MESSAGE_BOOKMARK_FILE_FILTER));
  if (!import) chooser.setSelectedFileName(u"bookmarks.html"_s);
  if ((import ? chooser.showOpenDialog(this) : chooser.showSaveDialog(this)) != FileChooser::APPROVED) return;
  String path = chooser.getSelectedFileName();
  try {
    if (import) {
      int links = BookmarkFile::readFile(path, bookmarks());
      bookmarks().save();
      bookmarksChanged();
      showMessage(String(), Resource::getString(MESSAGE_BOOKMARKS_IMPORTED, String(links), path));
    } else {
      BookmarkFile::writeFile(path, bookmarks());
      showMessage(String(),
                  Resource::getString(MESSAGE_BOOKMARKS_EXPORTED, String(bookmarks().nodeCount()), path));
    }
  } catch (const Exception& e) {
    showMessage(Resource::getString(ERROR_TITLE), e.getMessage());
  }
}

void MainCanvas::uploadFileAction(int command) {
  if (!uploadControl_ || !shown_) return;
  if (command == COMMAND_FILE_SHOW) {
    auto chosen = uploadFiles_.find(uploadControl_);
    showMessage(Resource::getString(MESSAGE_FILE_MENU),
                chosen != uploadFiles_.end() ? chosen->second : Resource::getString(MESSAGE_NO_FILE));
  } else if (command == COMMAND_FILE_CLEAR) {
    uploadFiles_.erase(uploadControl_);
  } else if (command == COMMAND_FILE_CHOOSE) {
    FileChooser chooser;
    if (chooser.showOpenDialog(this) == FileChooser::APPROVED)
      uploadFiles_[uploadControl_] = chooser.getSelectedFileName();
  }
}

std::vector<char> MainCanvas::readUploadFile(const String& path) {
  AutoPtr<FileInputStream> in(new FileInputStream(path));
  std::vector<char> bytes;
  char buffer[8192];
  for (int n; (n = in->read(buffer, 0, sizeof buffer)) > 0;) {
    if (bytes.size() + n > MAX_UPLOAD_BYTES)
      throw Exception(Resource::getString(MESSAGE_UPLOAD_TOO_LARGE, path));
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

bool MainCanvas::isDefaultBrowser() {
  return DefaultBrowser(System::getProgramDirectory() + u"/veskBrowserQK"_s, DefaultBrowser::system())
      .isDefault();
}

void MainCanvas::toggleDefaultBrowser() {
  DefaultBrowser(System::getProgramDirectory() + u"/veskBrowserQK"_s, DefaultBrowser::system()).toggle();
}
