#pragma once

#include "vwt/lang/Object.h"

// A point in pixels.
class Point : public Object {
 public:
  Point() : x(0), y(0) {}
  Point(int px, int py) : x(px), y(py) {}
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }

  int x;
  int y;
};
