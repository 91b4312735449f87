#pragma once

#include "vwt/ui/Application.h"

// The download program's application object: the toolkit's application as it stands.
class Downloader : public Application {
 public:
  Downloader() = default;
};
