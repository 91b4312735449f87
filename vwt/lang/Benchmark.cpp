#include "vwt/lang/Benchmark.h"

#include "vwt/platform/Clock.h"

Benchmark::Benchmark(const char16_t* name, bool enabled)
    : name_(name ? String(name, 0, String(name, false).length()) : String()), enabled_(enabled) {
  ticks_.addElement(currentTimeMillis());
}

void Benchmark::lap() { ticks_.addElement(currentTimeMillis()); }

unsigned int Benchmark::currentTimeMillis() { return vwt::platform::tickCount(); }

String Benchmark::report() {
  String text;
  if (enabled_ && ticks_.size() > 0) {
    ticks_.addElement(currentTimeMillis());
    unsigned int first = ticks_.elementAt(0);
    int last = ticks_.size() - 1;
    text = (name_ + u" total=") + (ticks_.elementAt(last) - first);
    for (int i = 1; i < last; ++i) {
      unsigned int t = ticks_.elementAt(i);
      text = ((((((text + u"\n  lap[") + i) + u"] Time=") + (t - first)) + u"ms  Lap=") +
              (t - ticks_.elementAt(i - 1))) +
             u"ms";
    }
  }
  ticks_.clear();
  return text;
}
