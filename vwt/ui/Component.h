#pragma once

#include "vwt/lang/Vector.h"
#include "vwt/ui/EventListener.h"
#include "vwt/ui/Window.h"

class AbstractButton;

// A window that tells listeners about its actions and its input-method text.
class Component : public Window {
 public:
  Component() = default;
  explicit Component(const String& title) : Window(title) {}
  ~Component() override;

  // Listeners are not owned; they are told in the order they were added.
  void addListener(EventListener* listener);
  void removeListener(EventListener* listener);
  // A button tells every ActionListener its command id.
  void fireActionEvent(int commandId);
  void fireIMEEvent(int type, const String& text);

  // The button this component is, null for others (the buttons of the widgets answer themselves).
  virtual AbstractButton* asButton() { return nullptr; }
  // The command id a button fires.
  virtual int getButtonCommandId() const { return 0; }

 private:
  Vector<EventListener*>* listeners_ = nullptr;  // owned; its elements are not
};
