// veskBrowserQK: until the window arrives, the diagnostic mode
//   veskBrowserQK --dump [URL]
// sets up the session with the service of system.ini, loads the URL (the
// home page when none is given) and prints the decoded page.
#include <cstdio>
#include <cstring>
#include <string>

#include "browser/service/Background.h"
#include "browser/shell/PageDump.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/StoreErrorPrinter.h"
#include "vwt/lang/Exception.h"

namespace {
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
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--dump") != 0 || argc > 3) {
    std::fprintf(stderr, "usage: veskBrowserQK --dump [URL]\n");
    return 2;
  }
  String url = argc == 3 ? String(argv[2]) : String();
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
