#pragma once
// The system's clocks and time zone.

#include <cstdint>

namespace vwt {
namespace platform {

struct DateTimeParts {
  int year;
  int month;      // 1-12
  int day;        // 1-31
  int dayOfWeek;  // 0 Sunday - 6 Saturday
  int hour;
  int minute;
  int second;
  int millisecond;
};

// The current date and time in UTC.
void currentUtcTime(DateTimeParts* parts);

// The current local date and time, and the zone's bias: minutes to add to
// local time to get UTC (negative east of Greenwich), daylight saving
// included. The bias is 0 when the system has no zone information.
void currentLocalTime(DateTimeParts* parts, int* biasMinutes);

// Milliseconds since the system started, suspended time included.
int64_t millisecondsSinceBoot();

}  // namespace platform
}  // namespace vwt
