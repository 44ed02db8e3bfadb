#pragma once
// The tray program's one Qt message handler: what Qt and the client core report through Qt's
// logging becomes lines of the run-time's log, so that they reach the program's log file.
#include <QtGlobal>

class QtMessageLog {
public:
    // Installs the handler for the whole program; returns the one it replaced. Debug messages are
    // logged at debug level, information at information level, warnings as warnings, critical and
    // fatal messages as errors.
    static QtMessageHandler install();
};
