#pragma once
// The systemd unit that stands for an installed service: what the installer gave, written as a
// unit file and read back from it.
#include <string>

#include "platform/win/ServiceControl.h"

namespace winsvc::unit {

struct ServiceUnit {
    std::string name;
    std::string displayName;
    std::string description;
    std::string binaryPath;
    // The program-data root the installer ran with, handed on to the service.
    std::string home;
    bool autoStart = false;
    // Failure actions: restarts in a row before giving up, their delay, and the period after
    // which the count starts again.
    int restarts = 0;
    DWORD restartDelayMs = 0;
    DWORD resetPeriodS = 0;
};

// TAMSEL_UNIT_DIR when set, else the system's unit folder.
std::string folder();
// True when systemd runs and owns the unit folder in use; then units are started through it.
bool systemdManages();
std::string path(const std::string& name);
std::string text(const ServiceUnit& unit);
// False when the text is not a unit written by text().
bool parse(const std::string& text, ServiceUnit* unit);
bool load(const std::string& name, ServiceUnit* unit);
bool save(const ServiceUnit& unit);

}  // namespace winsvc::unit
