#include "browser/menu/CommandRunner.h"

#include "browser/menu/CommandHost.h"
#include "browser/menu/CommandId.h"
#include "browser/menu/ErrorReport.h"
#include "browser/menu/MenuOrder.h"
#include "browser/menu/PageText.h"
#include "browser/menu/SettingToggles.h"
#include "browser/menu/TextSize.h"
#include "browser/page/Page.h"
#include "browser/shell/UrlResolver.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/URLEncoder.h"

namespace {

const int MESSAGE_INFORMATION = 10231;
const int MESSAGE_STORE_FULL_TEXT = 10026;
const int MESSAGE_STORE_FULL_TITLE = 10027;
const int MESSAGE_BOOKMARK_ADDED = 10028;
const int MESSAGE_NO_URL = 10029;
const int MESSAGE_IMAGE_SAVED = 10038;
const int MESSAGE_STORE_FREE = 10039;
const int MESSAGE_PAGE_DATA_FREED = 10043;
const int MESSAGE_CLEAR_COOKIES_TITLE = 10046;
const int MESSAGE_CLEAR_COOKIES_TEXT = 10047;
const int MESSAGE_DEFAULT_BROWSER_TEXT = 10059;
const int MESSAGE_IMPORT_TITLE = 10062;
const int MESSAGE_IMPORT_TEXT = 10063;
const int MESSAGE_IMPORTED = 10226;
const int MESSAGE_IMPORTING = 10227;
const int MESSAGE_COMMAND_FAILED = 10550;
const int MESSAGE_FIND_TITLE = 10551;
const int MESSAGE_NOT_FOUND = 10552;
const int MESSAGE_WRAPPED_TO_TOP = 10553;
const int MESSAGE_WRAPPED_TO_END = 10554;
const int MESSAGE_TEXT_COPIED = 10555;
const int MESSAGE_NO_TEXT = 10556;
const int MESSAGE_DEFAULT_BROWSER_TITLE = 10557;
const int MESSAGE_STATE_ON = 10033;
const int MESSAGE_STATE_OFF = 10034;

const char16_t DEFAULT_ADDRESS[] = u"http://";
const char16_t GPS_PAGE[] = u"/portal/gps.jsp?nb=1";
const char16_t FAVORITES_PROPERTY[] = u"directory.favorites";
const char16_t PLATFORM_PROPERTY[] = u"microedition.platform";

}  // namespace

CommandRunner::CommandRunner(CommandHost* host) : host_(host) {}

bool CommandRunner::run(int command, int argument, const String& text) {
  try {
    if (argument == ANSWER) return answered(command, text);
    return dispatch(command, argument, text);
  } catch (const Exception& e) {
    String report = ErrorReport::text(Resource::getString(MESSAGE_COMMAND_FAILED, String(command)),
                                      String(u"Exception", false), e.getMessage(),
                                      host_->systemProperty(String(PLATFORM_PROPERTY, false)), pageUrl());
    host_->showMessage(Resource::getString(10002), report);
    return true;
  }
}

bool CommandRunner::dispatch(int command, int argument, const String& text) {
  if (SettingToggles::find(command)) return toggle(command);
  if (command > COMMAND_LETTER_BASE && command < COMMAND_PANEL_BASE) {
    // A letter of the letter menu: its command word with the words given, or the last ones typed.
    char16_t letter = static_cast<char16_t>(command - COMMAND_LETTER_BASE);
    String words = text.length() > 0 ? text : lastText(RECORD_LAST_WORDS, String());
    useLetter(letter);
    host_->openUrl(commandUrl(String(letter), words), String(), String(), 0);
    return true;
  }
  CommandHost::Target target;
  switch (command) {
    case COMMAND_BACK:
      host_->historyStep(-1);
      return true;
    case COMMAND_FORWARD:
      host_->historyStep(1);
      return true;
    case COMMAND_REFLOW:
      host_->toggleReflow();
      return true;
    case COMMAND_ADD_BOOKMARK:
      addBookmark(argument == CONFIRMED);
      return true;
    case COMMAND_ADDRESS:
      host_->openEntry(command, lastText(RECORD_LAST_ADDRESS, String(DEFAULT_ADDRESS, false)), IME_URL,
                       MAX_URL_LENGTH);
      return true;
    case COMMAND_EDIT_URL: {
      String url = pageUrl();
      if (url.length() > 0) host_->openEntry(command, url, IME_URL, MAX_URL_LENGTH);
      return true;
    }
    case COMMAND_RELOAD: {
      String url = pageUrl();
      if (url.length() > 0) host_->openUrl(url, String(), url, OPEN_RELOAD);
      return true;
    }
    case COMMAND_LOAD_IMAGES:
      host_->loadImages();
      return true;
    case COMMAND_OPEN_IMAGE:
      target = host_->pointerTarget();
      if (target.image && target.imageUrl.length() > 0)
        host_->openUrl(target.imageUrl, pageUrl(), pageUrl(), OPEN_IMAGE);
      return true;
    case COMMAND_SEARCH_G:
    case COMMAND_SEARCH_Y:
    case COMMAND_SEARCH:
      host_->openEntry(command, lastText(RECORD_LAST_WORDS, String()), IME_WORDS, MAX_WORDS_LENGTH);
      return true;
    case COMMAND_FIND_ENTRY:
      host_->openEntry(command, lastText(RECORD_FIND_TEXT, String()), IME_WORDS, MAX_WORDS_LENGTH);
      return true;
    case COMMAND_HOME:
      host_->openUrl(String(), String(), String(), 0);
      return true;
    case COMMAND_QUIT:
      host_->quit();
      return true;
    case COMMAND_FIND_NEXT:
    case COMMAND_FIND_PREVIOUS:
      find(command == COMMAND_FIND_NEXT);
      return true;
    case COMMAND_TOP:
    case COMMAND_BOTTOM:
      host_->goToPageEnd(command == COMMAND_BOTTOM);
      return true;
    case COMMAND_LINK_INFO:
      if (host_->pointerTarget().link) host_->openScreen(command, argument);
      return true;
    case COMMAND_STOP:
      host_->cancelRequest();
      return true;
    case COMMAND_SAVE_IMAGE:
      if (host_->pointerTarget().image && host_->saveImageUnderPointer()) message(MESSAGE_IMAGE_SAVED);
      return true;
    case COMMAND_STORE_COUNT:
      host_->showMessage(Resource::getString(MESSAGE_INFORMATION),
                         Resource::getString(MESSAGE_STORE_FREE, String(storeFreeBytes())));
      return true;
    case COMMAND_FOLLOW_LINK:
      if (host_->pointerTarget().link) host_->followLinkUnderPointer(0);
      return true;
    case COMMAND_NEW_WINDOW:
      if (host_->pointerTarget().link) {
        host_->followLinkUnderPointer(1);
      } else {
        String url = pageUrl();
        if (url.length() > 0) host_->openUrl(url, String(), String(), 1);
      }
      return true;
    case COMMAND_CLOSE_WINDOW:
      host_->closeWindow();
      return true;
    case COMMAND_COPY_TEXT:
      copyText();
      return true;
    case COMMAND_OPEN_OUTSIDE: {
      target = host_->pointerTarget();
      String url = target.link ? UrlResolver::resolve(pageUrl(), target.linkUrl) : pageUrl();
      if (url.length() > 0) host_->openOutside(url);
      return true;
    }
    case COMMAND_FREE_STORAGE:
      host_->freeStoredPageData();
      message(MESSAGE_PAGE_DATA_FREED);
      return true;
    case COMMAND_PAGE_UP:
    case COMMAND_PAGE_DOWN:
      host_->pageStep(command == COMMAND_PAGE_DOWN ? 1 : -1);
      return true;
    case COMMAND_VERSION:
      host_->openUrl(String(u"cmd:VERINF", false) + CLIENT_VERSION, String(), String(), 0);
      return true;
    case COMMAND_CLEAR_COOKIES:
      if (argument == CONFIRMED)
        host_->clearCookies();
      else
        host_->confirm(MESSAGE_CLEAR_COOKIES_TITLE, Resource::getString(MESSAGE_CLEAR_COOKIES_TEXT), command);
      return true;
    case COMMAND_BACKUP:
      host_->backUpUserData();
      return true;
    case COMMAND_RESTORE: {
      int found = host_->readBackup();
      if (found != 0) host_->openScreen(command, found);
      return true;
    }
    case COMMAND_FILE_CHOOSE:
    case COMMAND_FILE_SHOW:
    case COMMAND_FILE_CLEAR:
      host_->uploadFileAction(command);
      return true;
    case COMMAND_GPS:
      // Only handsets that can locate themselves have the service's GPS page.
      if (host_->gpsCapable()) host_->launch(LAUNCH_GPS, host_->serviceRoot() + String(GPS_PAGE, false));
      return true;
    case COMMAND_CONVERT_JE:
    case COMMAND_CONVERT_EJ: {
      String url = pageUrl();
      if (url.length() > 0)
        host_->openUrl(commandUrl(command == COMMAND_CONVERT_JE ? u"ExJE"_s : u"ExEJ"_s, url), String(),
                       String(), 0);
      return true;
    }
    case COMMAND_TEXT_BIGGER:
    case COMMAND_TEXT_SMALLER:
      textSize(command == COMMAND_TEXT_BIGGER ? 1 : -1);
      return true;
    case COMMAND_STORE_FLAGS:
      host_->setFlags(host_->flags());
      return true;
    case COMMAND_DOWNLOAD_LINK:
      target = host_->pointerTarget();
      if (target.link && target.linkUrl.length() > 0)
        host_->handOverDownload(UrlResolver::resolve(pageUrl(), target.linkUrl), pageUrl());
      return true;
    case COMMAND_DEFAULT_BROWSER:
      if (argument == CONFIRMED)
        host_->toggleDefaultBrowser();
      else
        confirmDefaultBrowser();
      return true;
    case COMMAND_IMPORT_FAVORITES:
      if (argument == CONFIRMED)
        importFavorites();
      else
        host_->confirm(MESSAGE_IMPORT_TITLE, Resource::getString(MESSAGE_IMPORT_TEXT), command);
      return true;
    // The menus and panels the canvas builds.
    case COMMAND_BOOKMARKS:
    case COMMAND_PAGE_INFO:
    case COMMAND_VISITED:
    case COMMAND_START_PAGE:
    case COMMAND_WINDOWS:
    case COMMAND_SHORTCUT_PANEL:
    case COMMAND_SETTINGS:
    case COMMAND_TEXT_SIZE_PANEL:
    case COMMAND_COLOURS_PANEL:
    case COMMAND_STORAGE_PANEL:
    case COMMAND_COOKIES_PANEL:
    case COMMAND_LANGUAGE_PANEL:
    case COMMAND_FONT_PANEL:
    case COMMAND_HOME_PAGE_PANEL:
    case COMMAND_KEY_SPEED_PANEL:
    case COMMAND_USER_AGENT_PANEL:
    case COMMAND_SYNC_PANEL:
    case COMMAND_ORIENTATION_PANEL:
    case COMMAND_ABOUT:
    case COMMAND_IMPORT_EXPORT_PANEL:
      host_->openScreen(command, argument);
      return true;
    default:
      return false;
  }
}

bool CommandRunner::answered(int command, const String& text) {
  switch (command) {
    case COMMAND_ADDRESS:
      if (text.length() == 0) return true;
      storeText(RECORD_LAST_ADDRESS, text);
      host_->openUrl(text, String(), String(), 0);
      return true;
    case COMMAND_EDIT_URL:
      if (text.length() > 0) host_->openUrl(text, String(), String(), 0);
      return true;
    case COMMAND_SEARCH_G:
    case COMMAND_SEARCH_Y:
    case COMMAND_SEARCH:
      if (text.length() == 0) return true;
      storeText(RECORD_LAST_WORDS, text);
      if (command == COMMAND_SEARCH)
        host_->openScreen(command, 0);  // its panel takes the stored words
      else
        host_->openUrl(commandUrl(command == COMMAND_SEARCH_G ? u"G"_s : u"Y"_s, text), String(), String(),
                       0);
      return true;
    case COMMAND_FIND_ENTRY:
      if (text.length() == 0) return true;
      storeText(RECORD_FIND_TEXT, text);
      find_.reset();
      find(true);
      return true;
    default:
      return false;
  }
}

bool CommandRunner::toggle(int command) {
  const SettingToggles::Toggle* t = SettingToggles::find(command);
  int flags = host_->flags() ^ SettingToggles::mask(*t);
  host_->setFlags(flags);
  host_->openScreen(command, SettingToggles::readsOn(*t, flags) ? 1 : 0);
  if (t->reload) {
    String url = pageUrl();
    if (url.length() > 0) host_->openUrl(url, String(), url, OPEN_RELOAD);
  }
  return true;
}

String CommandRunner::bookmarkTitle(const String& title, const String& url) {
  String t = title.length() > 0 ? title : url;
  return t.length() > MAX_BOOKMARK_TITLE ? t.substring(0, MAX_BOOKMARK_TITLE) : t;
}

void CommandRunner::addBookmark(bool confirmed) {
  String url = pageUrl();
  if (url.length() == 0) {
    message(MESSAGE_NO_URL);
    return;
  }
  if (confirmed) {
    // Yes to a full list: the list opens, so that the user can make room.
    host_->openScreen(COMMAND_BOOKMARKS, 0);
    return;
  }
  String title = bookmarkTitle(pageTitle(), url);
  Bookmarks& marks = host_->bookmarks();
  if (!marks.add(title, url)) {
    host_->confirm(MESSAGE_STORE_FULL_TITLE, Resource::getString(MESSAGE_STORE_FULL_TEXT, title, url),
                   COMMAND_ADD_BOOKMARK);
    return;
  }
  marks.save();
  host_->bookmarksChanged();
  message(MESSAGE_BOOKMARK_ADDED);
}

void CommandRunner::find(bool forward) {
  String text = lastText(RECORD_FIND_TEXT, String());
  if (text.length() == 0) {
    // Nothing to look for yet: ask for it.
    dispatch(COMMAND_FIND_ENTRY, 0, String());
    return;
  }
  PageFind::Outcome outcome = PageFind::NONE;
  host_->withPage(
      [&](Page* page, ReflowLayout* reflow) { outcome = find_.find(page, reflow, text, forward); });
  host_->showFound(find_.highlight());
  if (outcome == PageFind::NONE)
    host_->showMessage(Resource::getString(MESSAGE_FIND_TITLE), Resource::getString(MESSAGE_NOT_FOUND, text));
  else if (outcome == PageFind::WRAPPED)
    host_->setStatusText(Resource::getString(forward ? MESSAGE_WRAPPED_TO_TOP : MESSAGE_WRAPPED_TO_END));
  else
    host_->setStatusText(String());
}

void CommandRunner::textSize(int direction) {
  int count = host_->fontCount();
  int index = host_->pageFontIndex();
  int next = TextSize::step(index, count, direction);
  if (next != index) host_->setPageFont(next);
  host_->setStatusText(TextSize::message(next, count));
}

void CommandRunner::copyText() {
  String text;
  host_->withPage([&](Page* page, ReflowLayout* reflow) { text = PageText::of(page, reflow); });
  if (text.length() == 0) {
    message(MESSAGE_NO_TEXT);
    return;
  }
  host_->copyToClipboard(text);
  host_->setStatusText(Resource::getString(MESSAGE_TEXT_COPIED, String(text.length())));
}

void CommandRunner::confirmDefaultBrowser() {
  String state = Resource::getString(host_->isDefaultBrowser() ? MESSAGE_STATE_ON : MESSAGE_STATE_OFF);
  host_->confirm(MESSAGE_DEFAULT_BROWSER_TITLE, Resource::getString(MESSAGE_DEFAULT_BROWSER_TEXT, state),
                 COMMAND_DEFAULT_BROWSER);
}

void CommandRunner::importFavorites() {
  String directory = host_->systemProperty(String(FAVORITES_PROPERTY, false));
  Bookmarks& marks = host_->bookmarks();
  auto progress = [this](int running) {
    host_->setStatusText(Resource::getString(MESSAGE_IMPORTING) + String(running));
  };
  int count = directory.length() > 0 ? marks.importFavorites(directory, -1, 0, progress) : 0;
  if (count > 0) {
    marks.save();
    host_->bookmarksChanged();
  }
  host_->showMessage(Resource::getString(MESSAGE_INFORMATION),
                     Resource::getString(MESSAGE_IMPORTED, String(count)));
}

int CommandRunner::storeFreeBytes() {
  std::vector<int> pairs = host_->store().readFreeList();
  int64_t free = 0;
  for (size_t i = 1; i < pairs.size(); i += 2)
    if (pairs[i] > 0) free += pairs[i];
  return static_cast<int>(free > RecordStore::DATA_AREA_SIZE ? RecordStore::DATA_AREA_SIZE : free);
}

String CommandRunner::commandUrl(const String& word, const String& operand) {
  String url = String(u"cmd:", false) + word;
  return operand.length() > 0 ? url + URLEncoder::encode(operand) : url;
}

void CommandRunner::useLetter(char16_t letter) {
  // The letter menu lists the letters last used first.
  MenuOrder order(lastText(RecordStore::MENU_ORDER, String()));
  String before = order.letters();
  order.use(letter);
  if (!order.letters().equals(before)) storeText(RecordStore::MENU_ORDER, order.letters());
}

String CommandRunner::lastText(int record, const String& fallback) {
  return host_->store().readString(record, fallback);
}

void CommandRunner::storeText(int record, const String& text) {
  Vector<Object*> values;
  values.addElement(new String(text));
  host_->store().writeRecord(record, values, u"S"_s);
}

String CommandRunner::pageUrl() {
  String url;
  host_->withPage([&](Page* page, ReflowLayout*) {
    if (page) url = page->url;
  });
  return url;
}

String CommandRunner::pageTitle() {
  String title;
  host_->withPage([&](Page* page, ReflowLayout*) {
    if (page) title = page->title;
  });
  return title;
}

void CommandRunner::message(int id) {
  host_->showMessage(Resource::getString(MESSAGE_INFORMATION), Resource::getString(id));
}
