#pragma once

// Set by the start-up when the program was started with "-Access": the main window then shows
// itself when it is built. GUI thread only.
extern bool showMainWindowAtStart;
