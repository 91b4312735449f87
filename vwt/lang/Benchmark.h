#pragma once

#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// A development stopwatch: laps of tick counts and a text report.
class Benchmark : public Object {
 public:
  Benchmark(const char16_t* name, bool enabled);

  void lap();
  static unsigned int currentTimeMillis();
  // When enabled: "name total=N" and a line per lap; the ticks are then
  // cleared (also when disabled, which gives an empty text).
  String report();

 private:
  String name_;
  bool enabled_;
  VectorV<unsigned int> ticks_;
};
