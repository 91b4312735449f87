#pragma once

#include "vwt/lang/Object.h"

// Whatever Connector::open returns: the caller owns and deletes it.
class Connection : public Object {
 public:
  virtual void close() = 0;
};
