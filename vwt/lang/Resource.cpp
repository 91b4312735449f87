#include "vwt/lang/Resource.h"

#include <mutex>
#include <string>

#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/InputStreamReader.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/LanguageTable.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"
#include "vwt/platform/UserLanguage.h"

namespace {
// Recursive: a text that fails to load asks for the text of its error.
std::recursive_mutex gLock;
Resource* gInstance = nullptr;

String resourceDirectory() { return System::getProgramDirectory() + u"res" + File::separator; }

// The text of an id as message.txt has it, read past the table: the table may
// be the one still loading, without that id yet. Unknown escapes stay as they
// are here, since this serves the report of one.
String englishText(int id) {
  try {
    String path = resourceDirectory() + u"message.txt";
    if (!File(path).isFile()) return String::null;
    InputStreamReader reader(new FileInputStream(path), String::UTF8);
    String line;
    while (reader.readLine(line)) {
      if (line.isNull() || line.charAt(0) == u'#') continue;
      int eq = line.indexOf(u'=');
      if (eq < 0 || Integer::parseInt(line.substring(0, eq), 0) != id) continue;
      String text = line.substring(eq + 1);
      StringBuffer out;
      for (int i = 0; i < text.length(); ++i) {
        char16_t c = text.charAt(i);
        char16_t next = i + 1 < text.length() ? text.charAt(i + 1) : 0;
        if (c == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
          out.append(next == u'n' ? u'\n' : next == u't' ? u'\t' : u'\\');
          ++i;
        } else {
          out.append(c);
        }
      }
      return out.toString();
    }
  } catch (const Exception&) {
    // The escape is reported all the same, without its text.
  }
  return String::null;
}

class LoadingFlag {
 public:
  explicit LoadingFlag(bool* flag) : flag_(flag), old_(*flag) { *flag_ = true; }
  ~LoadingFlag() { *flag_ = old_; }

 private:
  bool* flag_;
  bool old_;
};
}  // namespace

Resource* Resource::instance() {
  std::lock_guard<std::recursive_mutex> g(gLock);
  if (!gInstance) {
    gInstance = new Resource();  // lives as long as the process
    gInstance->loadLanguage(getLanguageID());
  }
  return gInstance;
}

const String& Resource::getString(int id) {
  std::lock_guard<std::recursive_mutex> g(gLock);
  Resource* r = instance();
  if (Entry<int, String>* e = r->texts_.getEntry(id)) return e->value;
  if (r->englishLoaded_ || r->loading_) return String::null;
  r->mergeFallback();
  if (Entry<int, String>* e = r->texts_.getEntry(id)) return e->value;
  return String::null;
}

String Resource::getString(int id, const String& a1, const String& a2, const String& a3, const String& a4,
                           const String& a5, const String& a6, const String& a7, const String& a8,
                           const String& a9) {
  const String* const args[9] = {&a1, &a2, &a3, &a4, &a5, &a6, &a7, &a8, &a9};
  return format(getString(id), args);
}

String Resource::format(const String& text, const String* const args[9]) {
  if (text.indexOf(u'%') < 0) return text;
  StringBuffer out;
  int n = text.length();
  for (int i = 0; i < n; ++i) {
    char16_t c = text.charAt(i);
    if (c != u'%') {
      out.append(c);
      continue;
    }
    if (++i >= n) break;
    char16_t next = text.charAt(i);
    if (next >= u'1' && next <= u'9')
      out.append(*args[next - u'1']);
    else if (next == u'%')
      out.append(u'%');
  }
  return out.toString();
}

String Resource::decodeBackslash(const String& text) {
  if (text.indexOf(u'\\') < 0) return text;
  StringBuffer out;
  int n = text.length();
  for (int i = 0; i < n; ++i) {
    char16_t c = text.charAt(i);
    if (c != u'\\') {
      out.append(c);
      continue;
    }
    char16_t next = i + 1 < n ? text.charAt(i + 1) : 0;
    if (next == u'n')
      out.append(u'\n');
    else if (next == u't')
      out.append(u'\t');
    else if (next == u'\\')
      out.append(u'\\');
    else
      throw Exception(escapeError(next));
    ++i;
  }
  return out.toString();
}

String Resource::escapeError(char16_t c) {
  String arg = c ? String(c) : String::null;
  String text = getString(-2800);
  if (text.isNull()) text = englishText(-2800);
  const String* const args[9] = {&arg,          &String::null, &String::null, &String::null, &String::null,
                                 &String::null, &String::null, &String::null, &String::null};
  return format(text, args);
}

int Resource::getLanguageID() {
  int id = LanguageTable::findLocale(vwt::platform::userLocaleName().c_str());
  return id ? id : 0x0409;
}

String Resource::getLanguageName(int langid) {
  const LanguageTable::Row* row = LanguageTable::find(langid);
  return row ? String(row->name, false) : String::null;
}

void Resource::setLanguage(int langid) {
  if (langid == 0) langid = getLanguageID();
  std::lock_guard<std::recursive_mutex> g(gLock);
  Resource* r = instance();
  if (r->language_ == langid) return;
  r->loadLanguage(langid);
}

void Resource::load() { instance(); }

void Resource::unload() {
  std::lock_guard<std::recursive_mutex> g(gLock);
  delete gInstance;
  gInstance = nullptr;
}

void Resource::loadLanguage(int langid) {
  language_ = langid;
  texts_.clear();
  englishLoaded_ = false;
  LoadingFlag loading(&loading_);
  String dir = resourceDirectory();
  String exact = (dir + u"message") + Integer::toHexString(langid, 4) + u".txt";
  if (File(exact).isFile()) {
    readFile(exact);
    return;
  }
  // Another sub-language of the same primary language will do.
  if (!File(dir).isDirectory()) return;
  VectorV<String> names;
  File(dir).list(File::FILES, false, &names);
  String suffix = Integer::toHexString(langid & 0xFF, 2) + u".txt";
  for (int i = 0; i < names.size(); ++i) {
    String name = names.elementAt(i);
    if (name.length() < 13 || !name.startsWith(u"message") || !name.endsWith(suffix)) continue;
    if (!File(dir + name).isFile()) continue;
    readFile(dir + name);
    return;
  }
}

void Resource::mergeFallback() {
  String path = resourceDirectory() + u"message.txt";
  if (!File(path).isFile()) return;  // looked for again on the next miss
  englishLoaded_ = true;
  LoadingFlag loading(&loading_);
  readFile(path);
}

void Resource::readFile(const String& path) {
  InputStreamReader reader(new FileInputStream(path), String::UTF8);
  String line;
  while (reader.readLine(line)) {
    if (line.isNull() || line.charAt(0) == u'#') continue;
    int eq = line.indexOf(u'=');
    if (eq < 0) continue;
    int id = Integer::parseInt(line.substring(0, eq), 0);
    if (texts_.getEntry(id)) continue;  // the first line of an id wins
    texts_.put(id, decodeBackslash(line.substring(eq + 1)));
  }
}
