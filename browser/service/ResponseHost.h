#pragma once

#include "browser/page/PageParserHost.h"
#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

class CookieStore;
struct ImageTable;
struct SessionValues;

// What the response decoder needs of the canvas: its session values, image
// table and cookie store, the stored settings, flag word and bookmarks, and
// the few interface actions a service command asks for. The canvas
// implements it; tests use a fake.
class ResponseHost : public PageParserHost {
 public:
  virtual SessionValues& getSessionValues() = 0;
  virtual ImageTable& getImageTable() = 0;
  virtual CookieStore& getCookieStore() = 0;

  // The program runs with its menu (the "use-menu" property is not "no").
  virtual bool isMenuMode() = 0;

  // The canvas flag word; setFlags also stores it.
  virtual int getFlags() = 0;
  virtual void setFlags(int flags) = 0;
  // The settings list: reload from the store, read, change, store.
  virtual void reloadSettings() = 0;
  virtual int getSetting(int entry) = 0;
  virtual void setSetting(int entry, int value) = 0;
  virtual void saveSettings() = 0;

  virtual int getBookmarkCount() = 0;
  // Replaces the local bookmarks by serialized ones and stores them.
  virtual void replaceBookmarks(const VectorV<String>& bookmarks) = 0;
  // The stored user name and password for a realm; empty when none.
  virtual void findCredentials(const String& realm, String* user, String* password) = 0;

  // Shown when the interface thread next paints; a null title is the default.
  virtual void queueInformation(const String& title, const String& text) = 0;
  virtual void openCredentialDialog(const String& prompt, const String& user, const String& password) = 0;
  virtual bool askYesNo(const String& title, const String& text) = 0;
  virtual void launchProgram(int launchType, const String& argument) = 0;
  virtual void terminate() = 0;
  virtual void launchDownload(const String& url, const String& referrer, const String& cookies) = 0;
  virtual String getCurrentPageUrl() = 0;
  // The per-page lists of decoded images.
  virtual void clearDecodedImages() = 0;
};
