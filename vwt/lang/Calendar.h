#pragma once

#include "vwt/lang/Date.h"

// A local date and time by fields, with the time zone's bias.
class Calendar : public Object {
 public:
  enum FieldType {
    YEAR = 0,
    MONTH = 1,  // 0-11
    DATE = 2,
    DAY_OF_MONTH = 3,
    DAY_OF_WEEK = 4,  // 0 Sunday; read only
    AM_PM = 5,        // 1 from noon; read only
    HOUR = 6,         // hour of day modulo 12; read only
    HOUR_OF_DAY = 7,
    MINUTE = 8,
    SECOND = 9,
    MILLISECOND = 10,
  };

  // 1970-01-01 00:00:00.000 without a zone.
  Calendar();
  // A new calendar at the current local time and zone; the caller owns it.
  static Calendar* getInstance();

  // -1 for a field number outside the table.
  int get(FieldType field) const;
  // Fields 0-3 and 7-10; the others are ignored.
  void set(FieldType field, int value);
  // month 0-11; the milliseconds become 0.
  void set(int year, int month, int day, int hour, int minute, int second);
  // The moment of the fields: local time plus the zone's bias.
  Date getTime() const;
  // Minutes from local time to UTC (negative east of Greenwich).
  int getTimeZoneBias() const { return bias_; }
  void setTimeZoneBias(int minutes) { bias_ = minutes; }

 private:
  void updateDayOfWeek();

  int year_;
  int month_;
  int day_;
  int dayOfWeek_;
  int hour_;
  int minute_;
  int second_;
  int millisecond_;
  int bias_;
};
