#pragma once

// True while the service's connection mode is automatic (and at start). Written by the controller,
// read by the windows; GUI thread only.
extern bool autoModeFlag;
