#pragma once

// The labels of the two soft keys in each canvas mode, as message ids.
class SoftKeyTable {
 public:
  // Message ids of the left and right labels of `mode` (0: no label). The browsing mode shows the menu
  // key's label only in use-menu mode.
  static void labels(int mode, bool useMenu, int* left, int* right);
};
