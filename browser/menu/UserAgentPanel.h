#pragma once

#include <vector>

#include "vwt/lang/String.h"

class PanelScreen;

// The user agent the service is told of (settings entry 22): none, or one of the system properties
// "user-agent1", "user-agent2", ... (mode 24).
class UserAgentPanel {
 public:
  // labels[i] names choice i + 1. A new panel; the caller owns it.
  static PanelScreen* create(const std::vector<String>& labels, int current);
  // The labels of the user-agent properties (the text before the comma), up to the first missing one.
  static std::vector<String> labelsFromProperties();
};
