#include "browser/menu/PanelSettings.h"

bool PanelSettings::apply(int, int, const String&, RecordStore&, int*) { return false; }
