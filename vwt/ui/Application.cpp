#include "vwt/ui/Application.h"

#include <atomic>

#include "vwt/io/File.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/lang/Thread.h"
#include "vwt/platform/InputScript.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/Paths.h"
#include "vwt/platform/Processes.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/ATLModule.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/ImagingFactory.h"

using namespace vwt::platform;

namespace {
// Read by worker threads that decode pictures.
std::atomic<Application*> gCurrent{nullptr};
const int MAX_SCREEN_SIDE = 4096;

// The main loop's turn before translation: accelerators, then the target window's pre-translation.
// True when the message was used up. Modal dialogs' loops take the same turn.
bool usedUp(const Application* app, const Message& m) {
  Frame* frame = app->getFrame();
  if (frame && frame->translateAccelerator(m.window, m.kind, m.wParam, m.lParam)) return true;
  Window* target = m.window ? app->getWindowFromHandle(m.window) : nullptr;
  return target && !target->onPreTranslateMessage(m.window, m.kind, m.wParam, m.lParam);
}
}  // namespace

Application::Application() {
  gCurrent.store(this);
  // The script's `idle` waits for the program's worker threads.
  InputScript::setWorkerCheck([] { return Thread::activeCount() > 0; });
  ModalLoop::setFilter([this](const Message& m) { return usedUp(this, m); });
}

Application::~Application() {
  delete frame_;
  frame_ = nullptr;
  WindowSystem::shutdown();
  // A pointer to a destroyed application would be followed by the next picture decode.
  Application* self = this;
  gCurrent.compare_exchange_strong(self, nullptr);
  ModalLoop::setFilter(nullptr);
  delete parameters_;
  delete imaging_;
  delete atlModule_;
}

void Application::setArgument(void* instance, void* previousInstance, const String& commandLine,
                              int commandShow, bool initialise) {
  (void)previousInstance;
  instance_ = instance;
  commandShow_ = commandShow;
  splitCommandLine(commandLine);
  if (initialise) initialize(INIT_SOCKETS | INIT_IMAGING);
}

void Application::initialize(int flags) {
  // The decoders are linked in: the factory cannot fail to start here, so -1200 is never thrown.
  if ((flags & INIT_IMAGING) && !imaging_) imaging_ = new ImagingFactory();
  // POSIX sockets need no start-up.
  if (flags & INIT_SOCKETS) socketsStarted_ = true;
}

void Application::splitCommandLine(const String& commandLine) {
  if (!parameters_) parameters_ = new VectorV<String>(16);
  commandLine.splitQuoted(u' ', true, parameters_);
}

String Application::getParameter(int i) const {
  if (!parameters_ || i < 0 || i >= parameters_->size()) return String();
  return parameters_->elementAt(i);
}

int Application::getNumOfParameter() const { return parameters_ ? parameters_->size() : 0; }

void Application::addFrame(Frame* frame) {
  frame_ = frame;
  addWindowHandle(frame ? frame->getHandle() : 0, frame);
}

int Application::run() {
  WindowSystem& ws = WindowSystem::get();
  Message m;
  while (ws.get(&m)) {
    if (usedUp(this, m)) continue;
    ws.translate(m);
    ws.dispatch(m);
  }
  return 0;
}

void Application::terminate() {
  if (frame_) frame_->dispose();
}

ATLModule* Application::getATLModule() {
  if (!atlModule_) atlModule_ = new ATLModule();
  return atlModule_;
}

String Application::getExecutableFileName() const { return String(vwt::platform::executablePath().c_str()); }

String Application::getExecutableFileDirectory() const { return System::getProgramDirectory(); }

void Application::launch(LaunchType type, const String& argument) const {
  String dir = getExecutableFileDirectory();
  String first = dir + u"downloader"_s;
  if (type == LAUNCH_DOWNLOADER) {
    String second = dir + u"downloader2"_s;
    bool hasFirst = File::exists(first), hasSecond = File::exists(second);
    if (!hasFirst && !hasSecond) throw Exception(Resource::getString(-1204));
    bool cleared = !(hasFirst && hasSecond) || File(second).doDelete();
    // A fresh program placed beside us by an update replaces the old copy before it starts.
    if (hasFirst && cleared && !File(first).renameTo(File(second)))
      throw Exception(Resource::getString(-1202));
    VectorV<String> command;
    command.addElement(second);
    command.addElement(u"/U"_s);
    command.addElement(System::getProperty(u"download.url"_s));
    command.addElement(String(u'"', getExecutableFileName()) + u'"');
    start(command);
  } else if (type == LAUNCH_DOWNLOADER_ITEM) {
    VectorV<String> command;
    command.addElement(first);
    command.addElement(u"/D"_s);
    argument.split(u'\t', false, &command);
    start(command);
  } else if (type == LAUNCH_BROWSER) {
    // The address is the opener's only argument, never a shell's word; one that could pass for
    // an option is no address.
    std::string address = File::toNativePath(argument);
    if (address.empty() || address[0] == '-') throw Exception(Resource::getString(-1205, argument));
    int error = openWithDesktop(address, false);
    if (error) throw Exception(Resource::getString(-1205, argument), static_cast<uint64_t>(error));
  } else {
    throw Exception(Resource::getString(-1203));
  }
}

void Application::launch(LaunchType type, VectorV<String>* arguments) const {
  if (type != LAUNCH_BROWSER && type != LAUNCH_BROWSER2) return;
  VectorV<String> command;
  // The handset's browser is the desktop's.
  command.addElement(u"xdg-open"_s);
  for (int i = 0; arguments && i < arguments->size(); ++i) command.addElement(arguments->elementAt(i));
  start(command);
}

void Application::start(const VectorV<String>& command) {
  // The handles go with the temporary Process; the program runs on.
  AutoPtr<Process> process(ProcessBuilder(command).start());
}

Application* Application::getCurrentApp() { return gCurrent.load(); }

void Application::applyScreenProperties() {
  int scale = 2, w = 0, h = 0;
  try {
    scale = System::getPropertyAsInt(u"screen.scale"_s, 2);
    w = System::getPropertyAsInt(u"screen.width"_s, 0);
    h = System::getPropertyAsInt(u"screen.height"_s, 0);
  } catch (const Exception&) {
    // Without readable properties the screen keeps its defaults.
  }
  setScreenScale(scale);
  if (isScreenSizeOverridden() || WindowSystem::exists()) return;
  // A size no screen has is no size: the default stays.
  if (w > 0 && h > 0 && w <= MAX_SCREEN_SIDE && h <= MAX_SCREEN_SIDE) setScreenSize(w, h);
}
