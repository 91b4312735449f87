#pragma once

#include <functional>
#include <vector>

#include "vwt/lang/String.h"

class Bookmarks;
class Page;
class RecordStore;
class ReflowLayout;

// What the command runner needs of the canvas: the page and what is under the pointer, the ways
// to move and open things, the text entry, the screens, the stores and the flag word. The canvas
// implements it with the pieces it owns (session, link follower, page interaction, renderer,
// screen stack); tests use a fake. Interface thread only.
class CommandHost {
 public:
  // What lies under the pointer on the page on screen.
  struct Target {
    bool link = false;  // a LINK or AREA
    String linkUrl;     // as the page gives it (maybe relative)
    String linkText;    // the link's text, empty when it has none
    bool image = false;
    String imageUrl;  // absolute
  };
  // A rectangle in page coordinates of the view on screen: layout pixels before zoom, or reflow
  // layout pixels in reflow view.
  struct Area {
    int x = 0, y = 0, width = 0, height = 0;
  };

  virtual ~CommandHost() = default;

  // --- the page ---
  // Calls use with the page on screen (null when none) and, in reflow view, its reflow layout
  // (else null), the page lock held. use must not call back into the host.
  virtual void withPage(const std::function<void(Page* page, ReflowLayout* reflow)>& use) = 0;
  virtual Target pointerTarget() = 0;
  virtual int historyPosition() = 0;
  virtual bool requestRunning() = 0;

  // --- moving and opening ---
  virtual void historyStep(int offset) = 0;  // -1 back, 1 forward
  // The view switch: 10018 in the status line while it lays out, flag bit 18 flipped and stored,
  // the pointer or view placed, the page redrawn and the status text cleared.
  virtual void toggleReflow() = 0;
  // The open-URL steps (LinkFollower::open) with no post data and no extra data.
  virtual void openUrl(const String& url, const String& referrer, const String& base, int flags) = 0;
  // Follows the link under the pointer as a tap would, with these caller flags (1: new window).
  virtual void followLinkUnderPointer(int flags) = 0;
  virtual void openOutside(const String& url) = 0;                               // the desktop's browser
  virtual void launch(int launchType, const String& argument) = 0;               // Application::launch
  virtual void handOverDownload(const String& url, const String& referrer) = 0;  // with its cookies
  virtual void cancelRequest() = 0;
  virtual void quit() = 0;        // cancels any request and ends the program
  virtual void loadImages() = 0;  // the page's images not fetched yet
  // The pointer to the middle of the first (bottom false) or last screen of the page; in reflow
  // view the view to its top or bottom with the first or last link focused.
  virtual void goToPageEnd(bool bottom) = 0;
  virtual void pageStep(int direction) = 0;  // -1 page up, 1 page down
  // Brings the first area into view and highlights all of them until the next call; an empty
  // list clears the highlight.
  virtual void showFound(const std::vector<Area>& areas) = 0;
  virtual void closeWindow() = 0;  // the current window

  // --- text size ---
  virtual int pageFontIndex() = 0;  // settings entry 18
  virtual int fontCount() = 0;      // the entries of the page font list
  // Stores settings entry 18, makes that font the page font with its zoom, keeps the pointer
  // centred on what it was over and redraws.
  virtual void setPageFont(int index) = 0;

  // --- what the user sees besides the page ---
  // Opens the menu or panel of the command (the canvas builds it; argument as the command's).
  virtual void openScreen(int command, int argument) = 0;
  // A yes/no panel titled by message titleId; yes runs command again with argument 1.
  virtual void confirm(int titleId, const String& text, int command) = 0;
  // The text entry; a confirmed answer comes back as CommandRunner::answer(command, text).
  virtual void openEntry(int command, const String& text, int imeMode, int maxLength) = 0;
  virtual void showMessage(const String& title, const String& text) = 0;  // a message panel
  virtual void setStatusText(const String& text) = 0;
  virtual void copyToClipboard(const String& text) = 0;

  // --- stores and settings ---
  virtual RecordStore& store() = 0;
  virtual Bookmarks& bookmarks() = 0;
  virtual void bookmarksChanged() = 0;  // after a user edit: the session uploads the list
  virtual int flags() = 0;              // the canvas flag word
  // The canvas takes the flag word and stores it (record 30736).
  virtual void setFlags(int flags) = 0;
  virtual String systemProperty(const String& key) = 0;
  virtual bool gpsCapable() = 0;
  virtual String serviceRoot() = 0;  // "http://host[:port]" of the service, no trailing "/"

  // --- handset pieces ---
  virtual bool saveImageUnderPointer() = 0;  // to the image store; false when it failed
  virtual void freeStoredPageData() = 0;
  virtual void clearCookies() = 0;
  virtual void backUpUserData() = 0;  // the backup picture into the image store
  // Lets the user pick a backup picture and reads it; the found sections' bits (0: none usable).
  virtual int readBackup() = 0;
  // The file-upload control the file menu was opened for: choose (56), show (57) or clear (58).
  virtual void uploadFileAction(int command) = 0;
  virtual bool isDefaultBrowser() = 0;
  virtual void toggleDefaultBrowser() = 0;
};
