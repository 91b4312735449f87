#include "vwt/lang/Object.h"

#include <typeinfo>

#include "vwt/lang/String.h"
#include "vwt/platform/Text.h"

String Object::toString() const {
  std::string name = vwt::platform::typeName(typeid(const Object*).name());
  String result = String(name.c_str());
  return result + String::toHexString(this);
}

bool Object::equals(const Object& other) const { return this == &other; }
