#include "gui/windows/ShowMainWindowFlag.h"

bool showMainWindowAtStart = false;
