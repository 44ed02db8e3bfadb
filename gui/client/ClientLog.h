#pragma once

#include <QLoggingCategory>

// The tray program's client core logs through this category; the program's logging thread picks
// the lines up with a Qt message handler.
Q_DECLARE_LOGGING_CATEGORY(lcGuiClient)

// Full message dumps, switched on by "veldebug.txt" at start-up.
class ClientLog {
public:
    static bool verboseDumps();
    static void setVerboseDumps(bool on);
};
