#include "vwt/lang/System.h"

#include <cstring>
#include <mutex>

#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/InputStreamReader.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Registry.h"
#include "vwt/platform/MemoryStatus.h"
#include "vwt/platform/Paths.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/SystemTime.h"

namespace {
std::mutex gLock;
System* gInstance = nullptr;

const char16_t SHELL_FOLDERS[] = u"\\HKEY_LOCAL_MACHINE\\System\\Explorer\\Shell Folders\\";

String shellFolder(const char16_t* name, const String& def) {
  try {
    return Registry(String(SHELL_FOLDERS, false)).readStringValue(String(name, false), def);
  } catch (const Exception&) {
    return def;  // a value of another type
  }
}
}  // namespace

System* System::instance() {
  std::lock_guard<std::mutex> g(gLock);
  if (!gInstance) {
    System* s = new System();
    try {
      String dir = getProgramDirectory();
      loadProperty(dir + u"system.ini", &s->properties_);
      String user = dir + u"user.ini";
      if (File::exists(user)) loadProperty(user, &s->properties_);
    } catch (...) {
      delete s;  // looked for again on the next lookup
      throw;
    }
    gInstance = s;  // lives as long as the process
  }
  return gInstance;
}

void System::unloadProperties() {
  std::lock_guard<std::mutex> g(gLock);
  delete gInstance;
  gInstance = nullptr;
}

void System::loadProperty(const String& file, Hashtable<String, String>* table) {
  InputStreamReader reader(new FileInputStream(file), String::DEFAULT);
  String line;
  while (reader.readLine(line)) {
    int eq = line.indexOf(u'=');
    if (eq < 0)
      table->put(line.trim(), String::null);
    else
      table->put(line.substring(0, eq).trim(), line.substring(eq + 1).trim());
  }
}

String System::getProperty(const String& key) {
  String value = instance()->properties_.get(key, String::null);
  if (!value.isNull()) return value;
  if (key == u"display.width" || key == u"display.height") {
    int w = 0, h = 0;
    vwt::platform::screenSize(&w, &h);
    return String(key == u"display.width" ? w : h);
  }
  if (key == u"directory.favorites")
    return shellFolder(u"Favorites", String(u"/Windows/Favorites", false)) + File::separator;
  return String::null;
}

int System::getPropertyAsInt(const String& key, int def) {
  return Integer::parseInt(instance()->properties_.get(key, String::null), def);
}

void System::setProperty(const String& key, const String& value) { instance()->properties_.put(key, value); }

String System::getProgramDirectory() {
  String dir(vwt::platform::programDirectory().c_str());
  return dir.endsWith(File::separator) ? dir : dir + File::separator;
}

String System::getDataDirectory(const String& company, const String& product) {
  String appData = shellFolder(u"Application Data", String::null);
  String dir;
  if (!appData.isNull()) {
    if (!appData.endsWith(File::separator)) appData = appData + File::separator;
    dir = appData + company + File::separator + product + File::separator;
  } else {
    dir = getProgramDirectory() + u"temp" + File::separator;
  }
  File(dir).mkdirs();
  return dir;
}

String System::getTerminalName() {
  try {
    return Registry(String(u"\\HKEY_LOCAL_MACHINE\\Ident\\", false)).readStringValue(u"Name"_s, String::null);
  } catch (const Exception&) {
    return String::null;
  }
}

int64_t System::toMillis(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  // Days from 1970-01-01 to the date, counting years from March so that the
  // leap day falls at the end of a counted year.
  int64_t m = month - 1;  // months outside 1-12 carry into the year
  int64_t y = year + (m >= 0 ? m / 12 : (m - 11) / 12);
  m = m - (m >= 0 ? m / 12 : (m - 11) / 12) * 12 + 1;
  if (m <= 2) --y;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = era * 146097 + doe - 719468;
  return (((days * 24 + hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
}

int64_t System::currentTimeMillis() {
  vwt::platform::DateTimeParts t;
  vwt::platform::currentUtcTime(&t);
  return toMillis(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond);
}

int64_t System::currentTimeMillisBoot() { return vwt::platform::millisecondsSinceBoot(); }

void System::arraycopy(const char* src, int srcOff, char* dst, int dstOff, int len) {
  if (!src || !dst || srcOff < 0 || dstOff < 0 || len < 1) return;
  std::memmove(dst + dstOff, src + srcOff, static_cast<size_t>(len));
}

void System::gc() { vwt::platform::releaseFreeMemory(); }
