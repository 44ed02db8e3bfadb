#include "gui/windows/AutoModeFlag.h"

bool autoModeFlag = true;
