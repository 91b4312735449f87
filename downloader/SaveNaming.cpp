#include "downloader/SaveNaming.h"

#include "vwt/lang/Exception.h"
#include "vwt/net/URL.h"

namespace {

String urlFileName(const String& url) {
  try {
    return URL(url).getFileName();
  } catch (const Exception&) {
    return String::null;
  }
}

// From the last '.' after the first unit (a leading dot is no extension);
// "" without one.
String extensionOf(const String& name) {
  int dot = name.lastIndexOf(u'.');
  return dot > 0 ? name.substring(dot) : String::null;
}

}  // namespace

String SaveNaming::proposedName(const String& url, const String& suggestedName) {
  if (!suggestedName.isNull()) return suggestedName;
  return urlFileName(url);
}

String SaveNaming::extension(const String& url, const String& suggestedName) {
  if (!suggestedName.isNull()) return extensionOf(suggestedName);
  String name = urlFileName(url);
  if (name.isNull()) return u".html"_s;
  return extensionOf(name);
}

String SaveNaming::filter(const String& extension) {
  String bare = extension.startsWith(u".") ? extension.substring(1) : extension;
  return (bare + u" file|*"_s) + extension;
}

String SaveNaming::withExtension(const String& chosen, const String& extension) {
  if (extension.isNull() || chosen.endsWithIgnoreCase(extension)) return chosen;
  return chosen + extension;
}
