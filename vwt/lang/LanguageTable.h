#pragma once

// The languages of the system's locale list, ordered by display name.
class LanguageTable {
 public:
  struct Row {
    int langId;                    // LANGID
    const char16_t* name;          // language(region), e.g. German(Germany)
    int ansiCodePage;              // 0 for the languages without one
    const char16_t* abbreviation;  // three letters, e.g. DEU
    const char* localeName;        // the desktop's name, e.g. de_DE; empty when none
  };

  static int size();
  static const Row& rowAt(int i);
  // The row of a LANGID, or null.
  static const Row* find(int langId);
  // The LANGID of a desktop locale name ("de_DE", "sr_RS@latin", "de"): an
  // exact match, else the language's main region; 0 when unknown.
  static int findLocale(const char* localeName);
};
