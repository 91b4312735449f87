#pragma once

#include "vwt/lang/Object.h"

// The handset's display object: nothing to ask it yet (the screen size is a system property).
class Display : public Object {
 public:
  Display() = default;
  ~Display() override = default;
};
