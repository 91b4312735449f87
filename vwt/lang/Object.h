#pragma once

class String;

// The root of the toolkit's classes.
class Object {
 public:
  Object() = default;
  virtual ~Object() = default;

  // The type name of a pointer to Object followed by the address.
  virtual String toString() const;
  // Identity.
  virtual bool equals(const Object& other) const;
};
