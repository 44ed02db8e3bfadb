#ifndef TAMSEL_TESTS_SERVICE_SERVICETESTSUPPORT_H
#define TAMSEL_TESTS_SERVICE_SERVICETESTSUPPORT_H

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "TestText.h"
#include "runtime/lum/Log.h"
#include "service/win32/ServiceStatus.h"

// A fresh program-data root for one test, with the log written into it.
class TempRoot {
public:
    TempRoot() {
        char pattern[] = "/tmp/tamsel-service-XXXXXX";
        m_path = mkdtemp(pattern);
        setenv("TAMSEL_HOME", m_path.c_str(), 1);
        setLogLevelMask(LogConstants::INITIAL_MASK);
        configureLogFiles(&serviceLogFileSpec(), 1);
    }
    ~TempRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    std::string path() const { return m_path; }
    std::string log() const { return m_path + "/logs/CurrentLog.txt"; }
    std::string statusFile() const { return m_path + "/run/VarnelTamselSvc.status"; }

private:
    std::string m_path;
};

using tamsel::test::countOf;
using tamsel::test::readText;
using tamsel::test::waitFor;

// The manager takes one control handler per process, and one test process runs many fixtures.
inline void registerServiceControlHandlerOnce() {
    static bool registered = (registerServiceControlHandler(), true);
    (void)registered;
}

#endif
