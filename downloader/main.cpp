// downloader /D URL [REFERER [COOKIE]]   saves a file the browser hands over, asking where it goes
// downloader /U URL [PROGRAM]            fetches an update into the program directory, opens it,
//                                        and starts PROGRAM (the browser) again afterwards
#include <memory>

#include "downloader/Downloader.h"
#include "downloader/DownloaderCanvas.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Dialog.h"

namespace {

// The window class, which also keeps the program to one instance and receives the browser's items.
const char16_t WINDOW_CLASS[] = u"DOWNLOADER";
const int ACCELERATOR_RESOURCE = 2, ICON_RESOURCE = 101, THIRD_RESOURCE = 102, MENU_BAR_RESOURCE = 102;
const int EXCEPTION_CAPTION = 21020, EXCEPTION_TEXT = 21021;

// Every argument in quotes, so that the application's split keeps empty ones and blanks.
String commandLineOf(int argc, char** argv) {
  String line;
  for (int i = 1; i < argc; ++i) {
    String arg = (u"\""_s + String(argv[i])) + u"\"";
    line = i == 1 ? arg : (line + u" ") + arg;
  }
  return line;
}

// An update replaces the browser's files: a running browser ends first.
void endMainProcess() {
  String name;
  try {
    name = System::getProperty(u"main.process"_s);
  } catch (const Exception&) {
    return;
  }
  if (name.isNull()) return;
  AutoPtr<Process> running(Process::findProcess(name));
  if (running.get()) running->terminate();
}

}  // namespace

int main(int argc, char** argv) {
  // The application outlives the handler: the dialog needs its window system.
  std::unique_ptr<Downloader> app;
  try {
    app.reset(new Downloader());
    app->setArgument(nullptr, nullptr, commandLineOf(argc, argv), 1, true);
    DownloaderCanvas* canvas =
        new DownloaderCanvas(app.get(), u"veskDownloader"_s);  // the application owns it
    canvas->takeArguments(*app);
    app->addFrame(canvas);
    // Save mode is started by the running browser itself, which must stay.
    if (canvas->getMode() == DownloaderCanvas::UPDATE_MODE) endMainProcess();
    if (!canvas->initializeWindow(String(WINDOW_CLASS, false), ACCELERATOR_RESOURCE, ICON_RESOURCE,
                                  THIRD_RESOURCE, MENU_BAR_RESOURCE))
      return 1;
    app->run();
    return 0;
  } catch (const Exception& e) {
    Logger::getLogger()->log(Logger::FATAL, e.toString());
    Dialog(nullptr, Dialog::TYPE_ERROR, Resource::getString(EXCEPTION_CAPTION),
           Resource::getString(EXCEPTION_TEXT) + e.toString())
        .show();
    return 1;
  }
}
