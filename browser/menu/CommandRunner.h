#pragma once

#include "browser/menu/PageFind.h"
#include "vwt/lang/String.h"

class CommandHost;

// Carries out the numbered commands of menus, shortcut keys, soft keys and panels through the
// canvas's host. A command that asks first runs for real when it comes back with CONFIRMED; one that
// needs typed text opens the entry and gets the text back through answer(). Commands the bookmark
// screens and the panels carry out themselves (bookmark edits, COMMAND_PANEL_BASE and up) are not
// this runner's. Interface thread only.
class CommandRunner {
 public:
  static const int CONFIRMED = 1;  // the argument of a command the user said yes to
  // The argument of a text entry's answer (never a confirmation or a value a panel passes).
  static const int ANSWER = -0x7fff0000;
  static const int CLIENT_VERSION = 5208;
  // Text entry input modes: an address, words.
  static const int IME_URL = 1;
  static const int IME_WORDS = 2;
  static const int MAX_URL_LENGTH = 2048;
  static const int MAX_WORDS_LENGTH = 256;
  static const int MAX_BOOKMARK_TITLE = 80;
  // Records of the typed texts ("S").
  static const int RECORD_LAST_ADDRESS = 30724;
  static const int RECORD_LAST_WORDS = 30728;
  static const int RECORD_FIND_TEXT = 30732;
  static const int LAUNCH_GPS = 2;
  static const int OPEN_RELOAD = 4;  // open-URL flag of a reload
  static const int OPEN_IMAGE = 32;  // open-URL flag of an image opened by its own URL

  explicit CommandRunner(CommandHost* host);  // not owned

  // Runs the command; false when it is not one of the table (or not this runner's). An exception
  // a command throws is shown as an error report.
  bool run(int command, int argument = 0, const String& text = String());
  // The text entry that command opened was confirmed with text.
  bool answer(int command, const String& text) { return run(command, ANSWER, text); }

  // The search in the page's text (the canvas draws its highlight).
  PageFind& finder() { return find_; }
  // "cmd:" + word + the URL-encoded operand.
  static String commandUrl(const String& word, const String& operand);
  // A bookmark title: the page title, or the URL when it has none, cut to MAX_BOOKMARK_TITLE.
  static String bookmarkTitle(const String& title, const String& url);

 private:
  bool dispatch(int command, int argument, const String& text);
  bool answered(int command, const String& text);
  bool toggle(int command);
  void addBookmark(bool confirmed);
  void find(bool forward);
  void textSize(int direction);
  void copyText();
  void confirmDefaultBrowser();
  void importFavorites();
  int storeFreeBytes();
  void useLetter(char16_t letter);
  String lastText(int record, const String& fallback);
  void storeText(int record, const String& text);
  String pageUrl();
  String pageTitle();
  void message(int id);

  CommandHost* host_;  // not owned
  PageFind find_;
};
