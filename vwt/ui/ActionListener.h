#pragma once

#include "vwt/ui/EventListener.h"

class AbstractButton;

// Told when a button fires its command.
class ActionListener : public EventListener {
 public:
  virtual void actionPerformed(AbstractButton* source, int commandId) = 0;
};
