#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "runtime/lum/Log.h"
#include "service/win32/ServiceStatus.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

// A fresh program-data root for one test, with the log written into it.
class TempRoot : public tamsel::test::TempHome {
public:
    TempRoot() : TempHome("service") {
        setLogLevelMask(LogConstants::INITIAL_MASK);
        configureLogFiles(&serviceLogFileSpec(), 1);
    }

    std::string statusFile() const { return path() + "/run/VarnelTamselSvc.status"; }
};

using tamsel::test::countOf;
using tamsel::test::readText;
using tamsel::test::waitFor;

// The manager takes one control handler per process, and one test process runs many fixtures.
inline void registerServiceControlHandlerOnce() {
    static bool registered = (registerServiceControlHandler(), true);
    (void)registered;
}
