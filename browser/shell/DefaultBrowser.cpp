#include "browser/shell/DefaultBrowser.h"

#include <cstdlib>

#include "vwt/io/File.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/Registry.h"

namespace {

const char16_t kHttpKey[] = u"\\HKEY_CLASSES_ROOT\\http\\Shell\\Open\\Command\\";
const char16_t kHttpsKey[] = u"\\HKEY_CLASSES_ROOT\\https\\Shell\\Open\\Command\\";
const char16_t kDesktopFile[] = u"veskBrowserQK.desktop";

String environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? String(value) : String();
}

// Each ':'-separated directory of list, or def when list is empty.
VectorV<String> directories(const String& list, const String& def) {
  VectorV<String> out;
  (list.isNull() ? def : list).split(u':', true, &out);
  return out;
}

}  // namespace

DefaultBrowser::Desktop DefaultBrowser::system() {
  Desktop d;
  d.hasProgram = [](const String& program) {
    VectorV<String> dirs = directories(environment("PATH"), u"/usr/bin:/bin"_s);
    for (int i = 0; i < dirs.size(); ++i)
      if (File::exists((dirs.elementAt(i) + u"/") + program)) return true;
    return false;
  };
  d.isInstalled = [](const String& desktopFile) {
    String home = environment("XDG_DATA_HOME");
    if (home.isNull() && !environment("HOME").isNull()) home = environment("HOME") + u"/.local/share";
    VectorV<String> dirs = directories(environment("XDG_DATA_DIRS"), u"/usr/local/share:/usr/share"_s);
    if (!home.isNull()) dirs.insertElements(&home, 1, 0);
    for (int i = 0; i < dirs.size(); ++i)
      if (File::exists((dirs.elementAt(i) + u"/applications/") + desktopFile)) return true;
    return false;
  };
  d.run = [](const VectorV<String>& command) {
    try {
      AutoPtr<Process> process(ProcessBuilder(command).start());
      process->waitFor();
    } catch (const Exception&) {
      // The registry holds the choice; the desktop's copy of it is a courtesy.
    }
  };
  return d;
}

DefaultBrowser::DefaultBrowser(const String& executable, Desktop desktop)
    : executable_(executable), desktop_(std::move(desktop)) {}

bool DefaultBrowser::isDefault() {
  Registry key(String(kHttpKey, false));
  return key.readStringValue(u"Default"_s, String()).indexOf(u"veskBrowserQK"_s) >= 0;
}

void DefaultBrowser::toggle() {
  bool wasDefault = isDefault();
  String command = wasDefault ? String(u"iexplore.exe %1"_s) : (u"\""_s + executable_) + u"\" %1";
  Registry(String(kHttpsKey, false)).writeStringValue(u"Default"_s, command);
  Registry(String(kHttpKey, false)).writeStringValue(u"Default"_s, command);
  if (!wasDefault) takeDesktop();
}

void DefaultBrowser::takeDesktop() {
  if (!desktop_.hasProgram || !desktop_.isInstalled || !desktop_.run) return;
  String file(kDesktopFile, false);
  if (!desktop_.hasProgram(u"xdg-settings"_s) || !desktop_.isInstalled(file)) return;
  VectorV<String> command;
  command.addElement(u"xdg-settings"_s);
  command.addElement(u"set"_s);
  command.addElement(u"default-web-browser"_s);
  command.addElement(file);
  desktop_.run(command);
}
