#pragma once

#include "vwt/lang/Hashtable.h"
#include "vwt/lang/String.h"

// Message texts by id: negative ids for the toolkit, positive for programs.
// The texts come from res/message<LANGID>.txt beside the program (or a file
// of the same primary language), with res/message.txt filling the gaps.
class Resource : public Object {
 public:
  // The text of a message id, or String::null when there is none. The
  // reference stays valid until the language changes.
  static const String& getString(int id);
  // The text with %1-%9 replaced by the arguments and %% by '%'; a '%'
  // before any other character is dropped with it. Null for a missing id.
  static String getString(int id, const String& a1, const String& a2 = String::null,
                          const String& a3 = String::null, const String& a4 = String::null,
                          const String& a5 = String::null, const String& a6 = String::null,
                          const String& a7 = String::null, const String& a8 = String::null,
                          const String& a9 = String::null);

  // The user's LANGID, from the desktop's locale; 0x0409 when unknown.
  static int getLanguageID();
  // The display name of a LANGID, e.g. German(Germany); null when unknown.
  static String getLanguageName(int langid);
  // Loads the texts of a language (0: the user's) unless they are loaded.
  static void setLanguage(int langid);
  // Loads the texts now.
  static void load();
  // Drops the texts; the next lookup loads them again, from the program
  // directory as it is then.
  static void unload();

  // "\n", "\t" and "\\" resolved; any other escape throws -2800.
  static String decodeBackslash(const String& text);
  // The placeholder rules of getString applied to text.
  static String format(const String& text, const String* const args[9]);

 private:
  Resource() : language_(0), englishLoaded_(false), loading_(false) {}
  static Resource* instance();
  void loadLanguage(int langid);
  void mergeFallback();
  // The -2800 text for an unknown escape c, also while a file is loading.
  static String escapeError(char16_t c);
  // Adds the file's texts for ids not yet present.
  void readFile(const String& path);

  int language_;
  Hashtable<int, String> texts_;
  bool englishLoaded_;
  bool loading_;  // lookups made while reading a file do not read files
};
