#include "vwt/ui/Component.h"

#include "vwt/ui/ActionListener.h"
#include "vwt/ui/TextListener.h"

Component::~Component() { delete listeners_; }

void Component::addListener(EventListener* listener) {
  if (!listeners_) listeners_ = new Vector<EventListener*>(false);
  listeners_->addElement(listener);
}

void Component::removeListener(EventListener* listener) {
  if (!listeners_) return;
  int i = listeners_->indexOf(listener);
  if (i >= 0) listeners_->removeElementAt(i);
}

void Component::fireActionEvent(int commandId) {
  (void)commandId;
  AbstractButton* button = asButton();
  if (!button || !listeners_) return;
  for (int i = 0; i < listeners_->size(); ++i)
    if (ActionListener* a = dynamic_cast<ActionListener*>(listeners_->elementAt(i)))
      a->actionPerformed(button, getButtonCommandId());
}

void Component::fireIMEEvent(int type, const String& text) {
  if (!listeners_) return;
  for (int i = 0; i < listeners_->size(); ++i)
    if (TextListener* t = dynamic_cast<TextListener*>(listeners_->elementAt(i)))
      t->processIMEEvent(type, text);
}
