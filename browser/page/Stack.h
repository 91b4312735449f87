#pragma once

#include "vwt/lang/Vector.h"

template <typename T>
class Stack;

// A history of owned entries addressed by index; destroying it destroys
// the entries, last first.
template <typename T>
class Stack<T*> : public Vector<T*> {
 public:
  Stack() : Vector<T*>(true) {}
};
