#include "browser/shell/VeskBrowser.h"

VeskBrowser::~VeskBrowser() = default;
