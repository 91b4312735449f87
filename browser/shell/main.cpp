// veskBrowserQK [URL]        the browser's window, on URL or the home page
// veskBrowserQK --dump [URL] sets up the session with the service of system.ini, loads the URL (the
//                            home page when none is given) and prints the decoded page.
// veskBrowserQK --import-bookmarks FILE   adds the folders and links of a desktop bookmark file to
//                                         the stored list
// veskBrowserQK --export-bookmarks FILE   writes the stored list as a desktop bookmark file
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "browser/service/Background.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/PageDump.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/StoreErrorPrinter.h"
#include "browser/shell/VeskBrowser.h"
#include "browser/store/BookmarkFile.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Text.h"
#include "vwt/ui/Dialog.h"

namespace {
// The window class, which also keeps the program to one instance.
const char16_t WINDOW_CLASS[] = u"VESKBROWSER";
// The toolkit's resource arguments: accelerators, icon, a third one and the soft-key menu bar.
const int ACCELERATOR_RESOURCE = 2, ICON_RESOURCE = 101, THIRD_RESOURCE = 108, MENU_BAR_RESOURCE = 102;
// A message box without an icon of a warning kind.
const int PLAIN_DIALOG = 5;
const int EXCEPTION_TITLE = 10280;
const int EXCEPTION_TEXT = 10281;
const int EXPORTED = 10510, IMPORTED = 10511, UNCHANGED = 10512, USAGE = 10513;

// Messages name files and bookmarks in any script.
std::string utf8(const String& s) {
  return vwt::platform::utf8FromUtf16(s.getCString(), static_cast<size_t>(s.length()));
}

std::string narrow(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) {
    char16_t c = s.charAt(i);
    out += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return out;
}

// What the window would have shown the user in dialogs.
void printMessages(SessionCore& core) {
  for (const SessionCore::Message& m : core.getMessages())
    std::fprintf(stderr, "%s: %s\n", narrow(m.title).c_str(), narrow(m.text).c_str());
}

int fail(SessionCore& core, const char* what) {
  std::fprintf(stderr, "veskBrowserQK: %s\n", what);
  printMessages(core);
  return 1;
}

int dump(const String& url) {
  try {
    // A damaged store says what it lost before anything else happens.
    StoreErrorPrinter storeErrors(stderr);
    SessionCore core(&storeErrors);
    if (core.startSession(true) != 1) return fail(core, "the session could not be set up");
    core.startPageRequest(url);
    core.waitForWorker(10 * 60 * 1000);
    Background* worker = core.getWorker();
    if (!worker || worker->getResult() != 0 || !core.getCurrentPage())
      return fail(core, "the page could not be loaded");
    std::fputs(PageDump::dump(*core.getCurrentPage(), core).c_str(), stdout);
    printMessages(core);
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "veskBrowserQK: %s\n", narrow(e.toString()).c_str());
    return 1;
  }
}

// Import or export through the store in the program directory, as the window uses it. The list is
// saved only when the whole file was read.
int bookmarkFile(bool import, const char* file) {
  std::u16string units = vwt::platform::utf16FromUtf8(file);
  String path(units.data(), 0, static_cast<int>(units.size()));
  try {
    StoreErrorPrinter storeErrors(stderr);
    SessionCore core(&storeErrors);
    Bookmarks& marks = core.getBookmarks();
    if (import) {
      int links = BookmarkFile::readFile(path, marks);
      marks.save();
      core.bookmarksChanged();
      std::printf(
          "%s\n",
          utf8(Resource::getString(IMPORTED, String(links), path, String(marks.nodeCount()))).c_str());
    } else {
      BookmarkFile::writeFile(path, marks);
      std::printf("%s\n", utf8(Resource::getString(EXPORTED, String(marks.nodeCount()), path)).c_str());
    }
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "veskBrowserQK: %s\n", utf8(e.getRawMessage()).c_str());
    if (import) std::fprintf(stderr, "veskBrowserQK: %s\n", utf8(Resource::getString(UNCHANGED)).c_str());
    return 1;
  }
}

// The command line as one text, each argument with spaces in quotes, as the application splits it.
String commandLineOf(int argc, char** argv) {
  String line;
  for (int i = 1; i < argc; ++i) {
    String arg(argv[i]);
    if (arg.indexOf(u' ') >= 0) arg = (u"\""_s + arg) + u"\"";
    line = i == 1 ? arg : (line + u" ") + arg;
  }
  return line;
}

// 0 after a normal run, 1 when the window could not be made (or another instance took the command
// line).
int runWindow(const String& commandLine) {
  // The application outlives the handler: the dialog needs its window system.
  std::unique_ptr<VeskBrowser> app;
  try {
    app.reset(new VeskBrowser());
    app->setArgument(nullptr, nullptr, commandLine, 1, true);
    MainCanvas* canvas = new MainCanvas(app.get(), u"veskBrowserQK"_s);  // the application owns it
    app->addFrame(canvas);
    if (!canvas->initializeWindow(String(WINDOW_CLASS, false), ACCELERATOR_RESOURCE, ICON_RESOURCE,
                                  THIRD_RESOURCE, MENU_BAR_RESOURCE))
      return 1;
    app->run();
    return 0;
  } catch (const Exception& e) {
    Logger::getLogger()->log(Logger::FATAL, e.toString());
    Dialog(nullptr, PLAIN_DIALOG, Resource::getString(EXCEPTION_TITLE),
           Resource::getString(EXCEPTION_TEXT) + e.toString())
        .show();
    return 1;
  }
}
}  // namespace

int main(int argc, char** argv) {
  bool import = argc >= 2 && std::strcmp(argv[1], "--import-bookmarks") == 0;
  bool exportList = argc >= 2 && std::strcmp(argv[1], "--export-bookmarks") == 0;
  bool dumpPage = argc >= 2 && std::strcmp(argv[1], "--dump") == 0;
  if ((dumpPage && argc > 3) || ((import || exportList) && argc != 3)) {
    std::fprintf(stderr, "%s\n", utf8(Resource::getString(USAGE)).c_str());
    return 2;
  }
  if (dumpPage) return dump(argc == 3 ? String(argv[2]) : String());
  if (import || exportList) return bookmarkFile(import, argv[2]);
  return runWindow(commandLineOf(argc, argv));
}
