#pragma once

#include <cstdint>
#include <vector>

#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

class RecordStore;

// The browser's cookies: a session list in memory and a persistent list
// kept in the store's cookie record (rows scope, name, value, expiry,
// flags; scope is domain + ";" + path). A cookie goes only to its own host
// or a subdomain of it on a dot boundary, and only under its path.
class CookieStore {
 public:
  static constexpr int MAX_RECORD_BYTES = 20480;

  // store is not owned and may be null (nothing is kept across runs then).
  explicit CookieStore(RecordStore* store);

  // Replaces the cookie of the same scope and name; lifetime in seconds,
  // 0 until the program ends, negative deletes.
  void storeCookie(const String& domain, const String& path, const String& name, const String& value,
                   int lifetime, int flags);
  // Writes the persistent list, dropping the oldest rows past the cap.
  void saveCookies();
  // Forgets every cookie, the session's and the stored ones, and stores the empty list.
  void clear();
  // "name=value; name=value" of the cookies for url (or the referrer when
  // url is not an http address); null when there are none.
  String cookieText(const String& url, const String& referrer);

  // The text that maps command URLs to the hosts whose cookies they get.
  void setCommandLetters(const String& text) { commandLetters_ = text; }
  // A "cmd:" URL as the http address its letter names; others unchanged.
  static String mapCommandUrl(const String& url, const String& letters);

  // Seconds since 1970; tests set their own clock.
  void setClock(int64_t (*clock)()) { clock_ = clock; }
  int sessionCount() const { return static_cast<int>(session_.size()); }
  int persistentCount();

 private:
  struct Row {
    String scope, name, value;
    int expiry, flags;
  };
  void loadPersistent();
  static void removeMatching(std::vector<Row>& rows, const String& scope, const String& name);
  static bool matches(const String& scope, const String& host, const String& path);
  static void appendRow(Vector<Object*>* record, const Row& row);
  // The bytes a row takes in the stored record.
  static int rowBytes(const Row& row);

  RecordStore* store_;
  std::vector<Row> session_;
  std::vector<Row> persistent_;
  bool loaded_;
  bool dirty_;  // persistent changes not yet written
  String commandLetters_;
  int64_t (*clock_)();
};
