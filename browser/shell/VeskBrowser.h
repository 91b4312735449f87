#pragma once

#include "vwt/ui/Application.h"

// The browser program's application object. The toolkit's application does all the work; the
// browser's is its own type so that the program has one name for it.
class VeskBrowser : public Application {
 public:
  VeskBrowser() = default;
  ~VeskBrowser() override;
};
