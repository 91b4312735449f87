#pragma once

#include "vwt/lang/String.h"
#include "vwt/ui/Component.h"

// A control that fires one command id to its ActionListeners (Component::fireActionEvent): a menu
// item, a push button. It need not have a window of its own.
class AbstractButton : public Component {
 public:
  AbstractButton(int id, const String& text, bool enabled = true)
      : Component(text), id_(id), label_(text), enabled_(enabled) {}

  int getId() const { return id_; }
  const String& getText() const { return label_; }
  void setText(const String& text) { label_ = text; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }

  AbstractButton* asButton() override { return this; }
  int getButtonCommandId() const override { return id_; }

 private:
  int id_;
  String label_;
  bool enabled_;
};
