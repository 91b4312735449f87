#pragma once

#include <cstdint>

#include "vwt/lang/Hashtable.h"
#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

class ATLModule;
class Frame;
class ImagingFactory;
class Window;

// The one process-wide object of a program: it starts the process-wide services (the picture
// decoder, the network library), holds the command line, the main frame and the table from window
// handles to toolkit windows, runs the message loop and starts the other programs. It is reachable
// from anywhere through getCurrentApp().
class Application : public Object {
 public:
  // initialize() flags.
  static const int INIT_SOCKETS = 1;
  static const int INIT_IMAGING = 2;

  // What launch() starts.
  enum LaunchType {
    LAUNCH_DOWNLOADER = 0,  // the download program for the URL in "download.url"
    LAUNCH_BROWSER = 1,     // the desktop's web browser with the arguments
    LAUNCH_BROWSER2 = 2,
    LAUNCH_DOWNLOADER_ITEM = 3,  // the download program with a tab-separated item
  };

  // Becomes the current application.
  Application();
  // Deletes the main frame and stops what initialize() started and the window system; the current
  // application is then none.
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Keeps the show state, splits the command line (quoted pieces stay whole) and, with
  // initialise, starts the services.
  void setArgument(void* instance, void* previousInstance, const String& commandLine, int commandShow,
                   bool initialise);
  // INIT_IMAGING creates the picture decoder (-1200 when it cannot); INIT_SOCKETS starts the
  // network library once (-1201 with the system's code when it cannot).
  void initialize(int flags);
  // The picture decoder, null before initialize(INIT_IMAGING). Owned by the application.
  ImagingFactory* getImaging() const { return imaging_; }
  bool isSocketsStarted() const { return socketsStarted_; }
  void* getInstance() const { return instance_; }
  int getCommandShow() const { return commandShow_; }

  // Parameters; the empty string for an index out of range.
  String getParameter() const { return getParameter(0); }
  String getParameter(int i) const;
  int getNumOfParameter() const;

  // The main frame, which the application deletes; a frame adds itself when it is made.
  void addFrame(Frame* frame);
  Frame* getFrame() const { return frame_; }
  // The windows by handle; any thread may look up.
  void addWindowHandle(int handle, Window* window) { windowHandles_.put(handle, window); }
  void removeWindowHandle(int handle) { windowHandles_.remove(handle); }
  Window* getWindowFromHandle(int handle) const { return windowHandles_.get(handle, nullptr); }

  // The message loop: accelerators, pre-translation, translation, dispatch; 0 when the main window
  // is gone.
  int run();
  // Disposes the main frame's window, which ends the loop. Nothing without a frame.
  void terminate();

  // The program's executable, with its full path.
  String getExecutableFileName() const;
  // The program directory with a trailing separator: the executable's, or the one a test set.
  String getExecutableFileDirectory() const;
  int getLaunchType() const { return 0; }
  // The control-hosting library, made on first use; owned by the application.
  ATLModule* getATLModule();

  // Starts another program without waiting for it; failures are thrown (-1202 to -1205, -2000).
  // LAUNCH_BROWSER hands argument, one address, to the desktop's opener (xdg-open).
  void launch(LaunchType type, const String& argument) const;
  void launch(LaunchType type, VectorV<String>* arguments) const;

  // The application made last and not yet destroyed, or null.
  static Application* getCurrentApp();
  // The screen from the system properties "screen.width", "screen.height" and "screen.scale",
  // unless VWT_SCREEN_SIZE decides it; before the first window.
  static void applyScreenProperties();

 private:
  void splitCommandLine(const String& commandLine);
  static void start(const VectorV<String>& command);

  void* instance_ = nullptr;
  VectorV<String>* parameters_ = nullptr;  // owned
  int commandShow_ = 1;
  Frame* frame_ = nullptr;  // owned
  bool socketsStarted_ = false;
  Hashtable<int, Window*> windowHandles_;
  ImagingFactory* imaging_ = nullptr;  // owned
  ATLModule* atlModule_ = nullptr;     // owned
};
