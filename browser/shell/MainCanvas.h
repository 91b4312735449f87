#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "browser/menu/CommandHost.h"
#include "browser/menu/MenuContext.h"
#include "browser/menu/ScreenStack.h"
#include "browser/page/InteractionHost.h"
#include "browser/page/PageFonts.h"
#include "browser/page/RendererHost.h"
#include "browser/page/SharedPtr.h"
#include "browser/shell/SessionView.h"
#include "browser/shell/StartupHost.h"
#include "browser/shell/StartupSequence.h"
#include "browser/shell/StatusBarHost.h"
#include "vwt/lang/Vector.h"
#include "vwt/lang/VectorV.h"
#include "vwt/ui/Frame.h"

class BrowserStatusBar;
class CanvasReflowHost;
class CommandRunner;
class Image;
class LinkFollower;
class LinkHints;
class MediaImage;
class Page;
class PageInteraction;
class PageRenderer;
class PageScrollBars;
class PointerPainter;
class PanelScreen;
class RenderItem;
class Screen;
struct ScreenResult;
class SessionCore;
class SessionDialogs;
class ShortTimer;
class TextSelection;
class StoreErrorReport;

// The browser's main window. It receives the window's events and owns the pieces that do the
// work: the session core (service channel, stores, pages), the fonts and the page renderer, the
// page interaction (keys, stylus, forms), the link follower, the link hints, the status bar, the
// scroll bars and the pointer. Its own work is the order of things: the staged start-up from the
// first paints, each event handed to the piece it is for, and each paint's composition of page
// buffer, pointer feedback, overlays, hints and pointer into the screen buffer, copied to the
// window in one piece.
class MainCanvas : public Frame,
                   public RendererHost,
                   public StatusBarHost,
                   public SessionView,
                   private StartupHost,
                   private InteractionHost,
                   private CommandHost {
 public:
  static const int CLIENT_VERSION = 5208;
  static const int TICK_TIMER = 1;
  enum StartState { STATE_NOTHING_DRAWN = 0, STATE_SPLASH_DRAWN = 1, STATE_RUNNING = 2 };

  // No input or output yet: the window comes with initializeWindow, the rest with the first paints.
  MainCanvas(Application* application, const String& name);
  ~MainCanvas() override;

  int getStartState() const { return state_; }
  bool isUseMenuMode() const { return useMenu_; }
  SessionCore& getSession() { return *core_; }
  PageRenderer* getRenderer() { return renderer_.get(); }
  PageInteraction* getInteraction() { return interaction_.get(); }
  LinkHints* getLinkHints() { return hints_.get(); }
  TextSelection* getSelection() { return selection_.get(); }
  // The first paint: the banner, scaled by a whole factor of at most 2 that fits the width, centred.
  static void drawSplash(Graphics* g, int width, int height);
  // Opens a URL as a typed one: no referrer, no post data.
  void openUrl(const String& url);
  // One command of the command table (argument 1: confirmed; text: a URL to open with
  // COMMAND_ADDRESS); false when it is no command.
  bool runCommand(int id, int argument = 0, const String& text = String());
  // The canvas mode: the top menu or panel's, else the page interaction's (0 browsing).
  int mode() const;
  ScreenStack& getScreens() { return screens_; }
  CommandRunner* getCommands() { return commands_.get(); }

  // Frame.
  using Frame::repaint;
  void onPaint(Graphics* g) override;
  void onResize(int width, int height) override;
  void onKeyPressed(int key) override;
  void onKeyReleased(int key) override;
  void onCharacter(char16_t c) override;
  void onPointerPressed(int x, int y) override;
  void onPointerDragged(int x, int y) override;
  void onPointerReleased(int x, int y) override;
  void onTimerExpired(int timerId) override;
  void processIMEEvent(int type, const String& text) override;
  void onLaunchDuplicate(Window* existing) override;
  bool onShortMessage(Window* sender, const char* data, int length) override;

  // RendererHost.
  std::mutex& pageLock() override;
  Page* shownPage() override { return shown_.get(); }
  Image* pageImage(int index) override;
  ReflowLayout* reflowLayout() override;
  Image* iconStrip() override { return icons_.get(); }
  int canvasFlags() override { return flags_; }
  bool isTranslucent() override { return startup_.handset().translucent; }
  int paletteSet() override { return palette_ >= 0 ? palette_ : startup_.paletteIndex(); }
  bool moviePlaybackOn() override { return false; }
  bool placeMovie(const String& path, int x, int y, int w, int h) override;

  // StatusBarHost.
  vwt::Font* statusFont() override { return fonts_.interfaceFont(); }
  vwt::Font* pageFont() override { return fonts_.pageFont(); }
  int schemeColour(int entry) override;
  bool showsSoftKeyLabels() override { return isFullScreen(); }
  bool usesTwoLabels() override { return true; }
  bool showsClock() override { return false; }

  // SessionView: any thread; each only marks what changed and asks for a paint.
  void requestRepaint() override;
  void statusTextChanged() override;
  void pageShown() override;
  void launchProgram(int launchType, const String& argument) override;
  void terminate() override;

 private:
  // StartupHost.
  String systemProperty(const String& key) override;
  int handsetAttribute(int id) override;
  RecordStore& records() override;
  int viewWidth() override { return getWidth(); }
  void restoreWindows() override;
  void setUpFonts(bool scalable) override;
  void loadIconStrip() override;
  void createStatusBar() override;
  void applyFullScreen(bool on) override { setFullScreen(on); }
  void createScreenBuffers(int orientation) override;
  bool establishSession() override;
  void openStartUrl(const String& url) override { openUrl(url); }

  // InteractionHost.
  Page* page() override { return shown_.get(); }
  ViewGeometry geometry() override;
  int zoom() override;
  int orientation() override;
  int64_t now() override;
  void startTicks() override;
  void stopTicks() override;
  void scrollTo(int x, int y) override;
  void repaint(bool wholePage) override;
  void followLink(RenderItem* linkOrArea, int pointerX, int pointerY) override;
  void submitForm(RenderItem* form, const String& fields) override;
  void historyStep(int offset) override;
  int historyPosition() override;
  void openTextEntry(const String& text, int imeMode, int maxLength, bool multiLine) override;
  void openMainMenu() override;
  void openLinkMenu() override;
  void openFileMenu(RenderItem* uploadControl) override;
  bool commandKey(int key) override;
  bool overlayOpen() override { return screens_.size() > 0; }
  bool overlayKey(int type, int key) override;
  bool overlayTap(int x, int y) override;
  bool statusBarTap(int x, int y) override;
  bool movieAt(int x, int y) override;
  Vector<RenderItem*>* pageOverlays() override { return &pageOverlays_; }

  // CommandHost (MainCanvasCommands.cpp).
  void withPage(const std::function<void(Page* page, ReflowLayout* reflow)>& use) override;
  Target pointerTarget() override;
  bool requestRunning() override;
  void toggleReflow() override;
  void openUrl(const String& url, const String& referrer, const String& base, int flags) override;
  void followLinkUnderPointer(int flags) override;
  void openOutside(const String& url) override;
  void launch(int launchType, const String& argument) override;
  void handOverDownload(const String& url, const String& referrer) override;
  void cancelRequest() override;
  void quit() override;
  void loadImages() override;
  void goToPageEnd(bool bottom) override;
  void pageStep(int direction) override;
  void showFound(const std::vector<Area>& areas) override;
  void closeWindow() override;
  int pageFontIndex() override;
  int fontCount() override;
  void setPageFont(int index) override;
  void openScreen(int command, int argument) override;
  void confirm(int titleId, const String& text, int command) override;
  void openEntry(int command, const String& text, int imeMode, int maxLength) override;
  void showMessage(const String& title, const String& text) override;
  void setStatusText(const String& text) override;
  void copyToClipboard(const String& text) override;
  RecordStore& store() override;
  Bookmarks& bookmarks() override;
  void bookmarksChanged() override;
  int flags() override;
  void setFlags(int flags) override;
  bool gpsCapable() override;
  String serviceRoot() override;
  bool saveImageUnderPointer() override;
  void freeStoredPageData() override;
  void clearCookies() override;
  void backUpUserData() override;
  int readBackup() override;
  void uploadFileAction(int command) override;
  bool isDefaultBrowser() override;
  void toggleDefaultBrowser() override;

  // The screens: opening one, carrying out what a key or tap did to the top one, and the mode's
  // soft keys.
  void push(Screen* screen);
  void carryOut(const ScreenResult& result);
  // The height menus and panels may take, and laying the open ones out again for it.
  int screenHeight();
  void layOutScreens();
  // The service's list replaced the bookmarks: an open list is shown again from its top level.
  void bookmarksReplaced();
  void modeChanged();
  MenuContext menuContext();
  // The settings panels, built from what the store holds now.
  PanelScreen* settingsPanel(int command);
  // What a panel's private command changed: the canvas takes the new settings in.
  void applyPanelCommand(int command, int argument, const String& text);
  // The item under the pointer (LINK, AREA, CONTROL), or null; pageLock held.
  RenderItem* itemUnderPointer();
  RenderItem* pictureUnderPointer();  // an IMAGE with an address; layout view only; pageLock held
  void restoreBackup(int chosenBits);
  void bookmarkFile(bool import);
  static std::vector<char> readUploadFile(
      const String& path);  // throws when unreadable or too large     // the import or export of a bookmark
                            // file, through a file dialog
  void drawFound(Graphics& g);
  // The text selection told what is on screen; true when it took the event (it is then repainted).
  void updateSelectionView();
  bool selectionTook(bool took);

  void loadShortcuts();
  // The pieces that live from the first screen buffers to the window's end.
  void createInteraction();
  // The link hints: shown on "f", a typed label activates its item.
  void showLinkHints();
  void typeHint(char16_t c);
  // What the pointer is over, drawn over the page; the status line follows it.
  void drawPointerFeedback(Graphics& g);
  void updateScrollBars();
  void drawPointer(Graphics& g);

  void paintRunning(Graphics* g);
  // The page on screen and the status line brought up to what the session holds.
  void takeSessionChanges();
  void drawOverlays(Graphics& g);
  void showPendingMessages();
  // The state an answer of the service left for the window: "VER_UP" ends the program, any other
  // text is shown.
  void actOnPendingState();

  int state_ = STATE_NOTHING_DRAWN;
  bool useMenu_;
  int flags_ = 0;
  int palette_ = -1;                               // the colours panel's choice; -1 the one of the start-up
  std::unique_ptr<StoreErrorReport> storeErrors_;  // hears of a damaged store; outlives the session
  std::unique_ptr<SessionCore> core_;
  std::unique_ptr<SessionDialogs> dialogs_;
  StartupSequence startup_;
  PageFonts fonts_;
  std::unique_ptr<PageRenderer> renderer_;
  std::unique_ptr<CanvasReflowHost> reflowHost_;
  std::unique_ptr<PageInteraction> interaction_;
  std::unique_ptr<LinkFollower> links_;
  std::unique_ptr<LinkHints> hints_;
  std::unique_ptr<TextSelection> selection_;
  bool shiftDown_ = false;       // the desktop's shift key, for the text selection
  bool selectionPress_ = false;  // the stylus went down for the selection: its drag and release too
  std::unique_ptr<PageScrollBars> scrollBars_;
  std::unique_ptr<ShortTimer> ticks_;
  BrowserStatusBar* statusBar_ = nullptr;  // a child window; owned
  std::unique_ptr<PointerPainter> pointer_;
  std::unique_ptr<MediaImage> iconMedia_;
  std::unique_ptr<Image> icons_;
  std::unique_ptr<Image> screen_;  // the composed screen, copied to the window in one piece
  SharedPtr<Page> shown_;          // the interface thread's reference to the page on screen
  ScreenStack screens_;            // the open menus and panels, drawn in screen coordinates
  std::unique_ptr<CommandRunner> commands_;
  int shortcuts_[12] = {};  // the commands of keys 1-9, *, 0, #, read at start-up
  // Where the text entry's answer goes: the form control, the top screen or a command.
  enum EntryTarget { ENTRY_CONTROL, ENTRY_SCREEN, ENTRY_COMMAND };
  EntryTarget entryTarget_ = ENTRY_CONTROL;
  int entryCommand_ = 0;
  RenderItem* uploadControl_ = nullptr;        // the file menu's control; a page item, not owned
  std::vector<Area> found_;                    // the find highlight, page coordinates
  std::map<RenderItem*, String> uploadFiles_;  // the files chosen for the page's upload buttons
  Vector<RenderItem*> pageOverlays_;           // browser-made items in page coordinates
  VectorV<String> pendingUrls_;                // handed over before the start-up ended
  int entryMaxLength_ = 0;                     // the open text entry's limit
  bool closeEntry_ = false;                    // the text entry answered: its box goes at the next paint
  int hintKey_ = -1;                           // a key that closed the hints: its release is theirs too
  String feedbackStatus_;                      // the status text the pointer feedback last set
  // Set by the session's threads, taken by the next paint.
  std::atomic<bool> pageChanged_{false};
  std::atomic<bool> contentChanged_{false};
  std::atomic<bool> statusChanged_{false};
  std::atomic<bool> endRequested_{false};
  std::atomic<int64_t> statusSetAt_{0};
  // The view the reflow layouts are made for, read by the parsing thread.
  std::atomic<int> layoutWidth_{0}, layoutHeight_{0}, layoutZoom_{100};
};
