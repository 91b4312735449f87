#include "vwt/lang/Calendar.h"

#include "vwt/lang/System.h"
#include "vwt/platform/SystemTime.h"

Calendar::Calendar()
    : year_(1970),
      month_(0),
      day_(1),
      dayOfWeek_(4),
      hour_(0),
      minute_(0),
      second_(0),
      millisecond_(0),
      bias_(0) {}

Calendar* Calendar::getInstance() {
  vwt::platform::DateTimeParts t;
  int bias = 0;
  vwt::platform::currentLocalTime(&t, &bias);
  Calendar* c = new Calendar();
  c->year_ = t.year;
  c->month_ = t.month - 1;
  c->day_ = t.day;
  c->dayOfWeek_ = t.dayOfWeek;
  c->hour_ = t.hour;
  c->minute_ = t.minute;
  c->second_ = t.second;
  c->millisecond_ = t.millisecond;
  c->bias_ = bias;
  return c;
}

int Calendar::get(FieldType field) const {
  switch (field) {
    case YEAR:
      return year_;
    case MONTH:
      return month_;
    case DATE:
    case DAY_OF_MONTH:
      return day_;
    case DAY_OF_WEEK:
      return dayOfWeek_;
    case AM_PM:
      return hour_ >= 12 ? 1 : 0;
    case HOUR:
      return hour_ % 12;
    case HOUR_OF_DAY:
      return hour_;
    case MINUTE:
      return minute_;
    case SECOND:
      return second_;
    case MILLISECOND:
      return millisecond_;
  }
  return -1;
}

void Calendar::set(FieldType field, int value) {
  switch (field) {
    case YEAR:
      year_ = value;
      break;
    case MONTH:
      month_ = value;
      break;
    case DATE:
    case DAY_OF_MONTH:
      day_ = value;
      break;
    case HOUR_OF_DAY:
      hour_ = value;
      break;
    case MINUTE:
      minute_ = value;
      break;
    case SECOND:
      second_ = value;
      break;
    case MILLISECOND:
      millisecond_ = value;
      break;
    default:
      return;
  }
  updateDayOfWeek();
}

void Calendar::set(int year, int month, int day, int hour, int minute, int second) {
  year_ = year;
  month_ = month;
  day_ = day;
  hour_ = hour;
  minute_ = minute;
  second_ = second;
  millisecond_ = 0;
  updateDayOfWeek();
}

void Calendar::updateDayOfWeek() {
  int64_t days = System::toMillis(year_, month_ + 1, day_, 0, 0, 0, 0) / 86400000;
  if (System::toMillis(year_, month_ + 1, day_, 0, 0, 0, 0) % 86400000 < 0) --days;
  int64_t w = (days + 4) % 7;  // 1970-01-01 was a Thursday
  dayOfWeek_ = static_cast<int>(w < 0 ? w + 7 : w);
}

Date Calendar::getTime() const {
  return Date(System::toMillis(year_, month_ + 1, day_, hour_, minute_, second_, millisecond_) +
              static_cast<int64_t>(bias_) * 60000);
}
