#include "browser/menu/TextSize.h"

#include "vwt/lang/Resource.h"

int TextSize::step(int index, int count, int direction) {
  if (count <= 0) return index;
  int next = index + (direction > 0 ? 1 : direction < 0 ? -1 : 0);
  if (next < 0) next = 0;
  if (next > count - 1) next = count - 1;
  return next;
}

int TextSize::zoomFor(int pageLineHeight, int baseLineHeight) {
  if (baseLineHeight <= 0 || pageLineHeight <= 0) return 100;
  return static_cast<int>(int64_t{100} * pageLineHeight / baseLineHeight);
}

String TextSize::message(int index, int count) {
  return Resource::getString(MESSAGE, String(index + 1), String(count));
}
