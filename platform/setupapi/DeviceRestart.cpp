#include "platform/setupapi/DeviceRestart.h"

#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/Win32Error.h"
#include "platform/netcfg/NetConfiguration.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/setupapi/SetupApi.h"

namespace setupapi {

namespace {

DWORD fromErrno(int error) {
    if (error == EPERM || error == EACCES) return base::win32::ERROR_ACCESS_DENIED;
    if (error == ENODEV || error == ENXIO) return ERROR_NO_SUCH_DEVINST;
    return ERROR_IO_DEVICE;
}

}  // namespace

DWORD DeviceRestart::run() const {
    // A device that is a Linux interface is restarted for real or not at all: one this process
    // may not take down is refused as the system refuses it, and nothing is recorded.
    DWORD result = interfaceName_.empty() ? record() : cycleInterface();
    // A restarted device has its bindings added again, and the notify objects have their say.
    if (result == base::win32::ERROR_SUCCESS && bindName_) netcfg::RequeryBindingsOver(*bindName_);
    return result;
}

DWORD DeviceRestart::cycleInterface() const {
    if (interfaceName_.size() >= IFNAMSIZ) return ERROR_NO_SUCH_DEVINST;
    int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0) return fromErrno(errno);
    ifreq request{};
    std::memcpy(request.ifr_name, interfaceName_.c_str(), interfaceName_.size());
    DWORD result = base::win32::ERROR_SUCCESS;
    if (::ioctl(sock, SIOCGIFFLAGS, &request) != 0) {
        result = fromErrno(errno);
    } else {
        request.ifr_flags = static_cast<short>(request.ifr_flags & ~IFF_UP);
        if (::ioctl(sock, SIOCSIFFLAGS, &request) != 0) {
            result = fromErrno(errno);
        } else {
            request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
            if (::ioctl(sock, SIOCSIFFLAGS, &request) != 0) result = fromErrno(errno);
        }
    }
    ::close(sock);
    return result;
}

DWORD DeviceRestart::record() const {
    long status = netcfg::NetworkStateFile::update([&](netcfg::NetworkState& state, bool& changed) -> long {
        int index = bindName_ ? state.findByBindName(*bindName_) : static_cast<int>(position_);
        if (index < 0 || static_cast<std::size_t>(index) >= state.components.size())
            return static_cast<long>(ERROR_NO_SUCH_DEVINST);
        ++state.components[static_cast<std::size_t>(index)].restarts;
        changed = true;
        return base::win32::ERROR_SUCCESS;
    });
    return static_cast<DWORD>(status);
}

}  // namespace setupapi
