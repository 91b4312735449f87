#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class ImagingFactory;

// The one process-wide object of a program: it starts the process-wide services (the picture
// decoder, the network library) and is reachable from anywhere through getCurrentApp().
class Application : public Object {
 public:
  // initialize() flags.
  static const int INIT_SOCKETS = 1;
  static const int INIT_IMAGING = 2;

  // Becomes the current application.
  Application();
  // Stops what initialize() started; the current application is then none.
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // INIT_IMAGING creates the picture decoder (-1200 when it cannot); INIT_SOCKETS starts the
  // network library once (-1201 with the system's code when it cannot).
  void initialize(int flags);
  // The picture decoder, null before initialize(INIT_IMAGING). Owned by the application.
  ImagingFactory* getImaging() const { return imaging_; }
  bool isSocketsStarted() const { return socketsStarted_; }

  // The program's executable, with its full path.
  String getExecutableFileName() const;
  // The program directory with a trailing separator: the executable's, or the one a test set.
  String getExecutableFileDirectory() const;

  // The application made last and not yet destroyed, or null.
  static Application* getCurrentApp();

 private:
  bool socketsStarted_ = false;
  ImagingFactory* imaging_ = nullptr;  // owned
};
