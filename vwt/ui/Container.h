#pragma once

#include "vwt/lang/Hashtable.h"
#include "vwt/lang/Object.h"

class Component;

// Components by command id, so that a command reaches the control that fired it. The components
// are not owned.
class Container : public Object {
 public:
  Container() = default;
  ~Container() override = default;
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;

  virtual void add(Component* component, int id) { components_.put(id, component); }
  Component* getComponent(int id) const { return components_.get(id, nullptr); }
  void remove(int id) { components_.remove(id); }

 protected:
  Hashtable<int, Component*> components_;
};
