#pragma once

#include <optional>
#include <string>

#include "platform/com/Com.h"

namespace setupapi {

// Restarts one device: the Linux interface taken down and brought up when the device is one
// (ERROR_ACCESS_DENIED when this process may not), else a restart counted in the device's record
// of the state file.
class DeviceRestart {
public:
    // The device as the state file names it: its bind name (if any) or else its position.
    DeviceRestart(std::optional<std::string> bindName, std::size_t position, std::string interfaceName)
        : bindName_(std::move(bindName)), position_(position), interfaceName_(std::move(interfaceName)) {}

    // A Win32 code.
    com::DWORD run() const;

private:
    // ERROR_ACCESS_DENIED when not allowed.
    com::DWORD cycleInterface() const;
    com::DWORD record() const;

    std::optional<std::string> bindName_;
    std::size_t position_;
    std::string interfaceName_;
};

}  // namespace setupapi
