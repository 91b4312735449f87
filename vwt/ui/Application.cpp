#include "vwt/ui/Application.h"

#include <atomic>

#include "vwt/lang/System.h"
#include "vwt/platform/Paths.h"
#include "vwt/ui/ImagingFactory.h"

namespace {
// Read by worker threads that decode pictures.
std::atomic<Application*> gCurrent{nullptr};
}  // namespace

Application::Application() { gCurrent.store(this); }

Application::~Application() {
  // A pointer to a destroyed application would be followed by the next picture decode.
  Application* self = this;
  gCurrent.compare_exchange_strong(self, nullptr);
  delete imaging_;
}

void Application::initialize(int flags) {
  // The decoders are linked in: the factory cannot fail to start here, so -1200 is never thrown.
  if ((flags & INIT_IMAGING) && !imaging_) imaging_ = new ImagingFactory();
  // POSIX sockets need no start-up.
  if (flags & INIT_SOCKETS) socketsStarted_ = true;
}

String Application::getExecutableFileName() const { return String(vwt::platform::executablePath().c_str()); }

String Application::getExecutableFileDirectory() const { return System::getProgramDirectory(); }

Application* Application::getCurrentApp() { return gCurrent.load(); }
