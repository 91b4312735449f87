#include "vwt/lang/Date.h"

#include "vwt/lang/System.h"

Date::Date() : time_(System::currentTimeMillis()) {}

bool Date::equals(const Object& other) const {
  const Date* d = dynamic_cast<const Date*>(&other);
  return d && d->time_ == time_;
}
