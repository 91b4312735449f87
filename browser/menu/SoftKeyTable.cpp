#include "browser/menu/SoftKeyTable.h"

namespace {

const int BACK = 10005, MENU = 10006, CLOSE = 10007, DONE = 10008, CLOSE_WINDOW = 10009, OK = 10010,
          CANCEL = 10011, YES = 10012, NO = 10013, EDIT = 10015;

struct Labels {
  int left, right;
};

Labels of(int mode, bool useMenu) {
  switch (mode) {
    case 0:
      return {BACK, useMenu ? MENU : 0};
    case 4:
    case 20:
      // Confirmations answer with OK and Cancel: the browsing "Menu" label would mislead here.
      return {OK, CANCEL};
    case 6:
      return {BACK, DONE};
    case 7:
      return {CLOSE_WINDOW, CLOSE};
    case 8:
      // The bookmark list: the left key opens the selected row's edit menu.
      return {EDIT, CLOSE};
    case 9:
      return {OK, CANCEL};
    case 17:
      return {0, 0};
    case 36:
      return {OK, 0};
    case 37:
      return {YES, NO};
    case 111:
      return {0, BACK};
    default:
      // Menus, lists and settings panels: only the close key.
      return {0, CLOSE};
  }
}

}  // namespace

void SoftKeyTable::labels(int mode, bool useMenu, int* left, int* right) {
  const Labels l = of(mode, useMenu);
  if (left) *left = l.left;
  if (right) *right = l.right;
}
