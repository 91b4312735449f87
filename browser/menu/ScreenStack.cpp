#include "browser/menu/ScreenStack.h"

#include "browser/menu/Screen.h"

ScreenStack::~ScreenStack() { clear(); }

void ScreenStack::push(Screen* screen) {
  if (screen) screens_.push_back(screen);
}

void ScreenStack::pop() {
  if (screens_.empty()) return;
  Screen* top = screens_.back();
  screens_.pop_back();
  delete top;
}

void ScreenStack::clear() {
  while (!screens_.empty()) pop();
}

Screen* ScreenStack::top() const { return screens_.empty() ? nullptr : screens_.back(); }

int ScreenStack::size() const { return static_cast<int>(screens_.size()); }

Screen* ScreenStack::at(int i) const {
  return i >= 0 && i < size() ? screens_[static_cast<size_t>(i)] : nullptr;
}

int ScreenStack::mode() const { return screens_.empty() ? 0 : screens_.back()->mode(); }
