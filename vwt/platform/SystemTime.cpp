#include "vwt/platform/SystemTime.h"

#include <time.h>

namespace vwt {
namespace platform {

namespace {
void fill(const tm& t, long nanoseconds, DateTimeParts* parts) {
  parts->year = t.tm_year + 1900;
  parts->month = t.tm_mon + 1;
  parts->day = t.tm_mday;
  parts->dayOfWeek = t.tm_wday;
  parts->hour = t.tm_hour;
  parts->minute = t.tm_min;
  parts->second = t.tm_sec > 59 ? 59 : t.tm_sec;  // a leap second
  parts->millisecond = static_cast<int>(nanoseconds / 1000000);
}
}  // namespace

void currentUtcTime(DateTimeParts* parts) {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t;
  gmtime_r(&ts.tv_sec, &t);
  fill(t, ts.tv_nsec, parts);
}

void currentLocalTime(DateTimeParts* parts, int* biasMinutes) {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tzset();
  tm t;
  localtime_r(&ts.tv_sec, &t);
  fill(t, ts.tv_nsec, parts);
  *biasMinutes = static_cast<int>(-t.tm_gmtoff / 60);
}

int64_t millisecondsSinceBoot() {
  timespec ts;
  if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace platform
}  // namespace vwt
