#pragma once

#include <cstdint>

#include "vwt/lang/Hashtable.h"
#include "vwt/lang/String.h"

// Configuration properties from system.ini and user.ini in the program
// directory, the device's folders and name, and the clocks.
class System : public Object {
 public:
  // The stored value when it is not empty, else the built-in keys
  // "display.width", "display.height" and "directory.favorites"; null
  // otherwise. Throws the file error when system.ini is missing.
  static String getProperty(const String& key);
  // The stored value as a decimal number, def when there is none (the
  // built-in keys are not consulted).
  static int getPropertyAsInt(const String& key, int def);
  // Replaces a value for the rest of the run; nothing is written.
  static void setProperty(const String& key, const String& value);
  // Reads one property file into table: key=value per line, both trimmed;
  // a line without '=' is a key with a null value.
  static void loadProperty(const String& file, Hashtable<String, String>* table);
  // Drops the loaded properties; the next lookup reads the files again.
  static void unloadProperties();

  // The program directory with a trailing separator.
  static String getProgramDirectory();
  // The folder for a product's data, created with its parents: under the
  // user's application data, else the program directory's "temp" folder.
  static String getDataDirectory(const String& company, const String& product);
  // The device's name; empty when it has none.
  static String getTerminalName();

  // Milliseconds since 1970-01-01 00:00:00 UTC.
  static int64_t currentTimeMillis();
  // Milliseconds since the device started.
  static int64_t currentTimeMillisBoot();
  // Milliseconds since 1970-01-01 00:00:00 of a date (month 1-12) and time,
  // counted in Gregorian days without a zone.
  static int64_t toMillis(int year, int month, int day, int hour, int minute, int second, int millisecond);

  // Copies len bytes; nothing when an offset is negative, len is below 1 or
  // a buffer is null. The ranges may overlap.
  static void arraycopy(const char* src, int srcOff, char* dst, int dstOff, int len);
  // Returns freed memory to the system where it can.
  static void gc();

 private:
  System() = default;
  static System* instance();
  Hashtable<String, String> properties_;
};
