// The lab's leases where a machine's DHCP client keeps them: the adapter's TCP/IP parameters in the
// registry, which the diagnostic report and an administrator read. Nothing of the library reads
// them back, so a registry that cannot be written costs only this record of the lease.
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/lab/LabWorld.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/registry/Registry.h"

namespace qxauth {

namespace {

constexpr const char* TCPIP_KEY_PREFIX = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr const char* TCPIP_KEY_SUFFIX = "\\Parameters\\Tcpip";
constexpr uint32_t DHCP_ENABLED = 1;
// What a release takes away; EnableDHCP stays, as the adapter still asks DHCP for its next address.
constexpr const char* LEASE_VALUES[] = {"DhcpIPAddress",      "DhcpSubnetMask",    "DhcpServer",
                                        "DhcpDefaultGateway", "LeaseObtainedTime", "LeaseTerminatesTime"};

class TcpipParameters {
public:
    enum class Open { CREATING, EXISTING };

    TcpipParameters(const std::string& adapterName, Open open) {
        const std::string path = TCPIP_KEY_PREFIX + adapterName + TCPIP_KEY_SUFFIX;
        long result = open == Open::CREATING
                          ? registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                                     registry::KEY_ALL_ACCESS, &m_key, nullptr)
                          : registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                                   registry::KEY_ALL_ACCESS, &m_key);
        if (result != base::win32::ERROR_SUCCESS) m_key = nullptr;
    }
    ~TcpipParameters() {
        if (m_key != nullptr) registry::RegCloseKey(m_key);
    }
    TcpipParameters(const TcpipParameters&) = delete;
    TcpipParameters& operator=(const TcpipParameters&) = delete;

    bool opened() const { return m_key != nullptr; }

    void setDword(const char* name, uint32_t number) {
        uint8_t bytes[4] = {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16),
                            uint8_t(number >> 24)};
        registry::RegSetValueEx(m_key, name, registry::REG_DWORD, bytes, sizeof bytes);
    }
    // An address the answer does not give is not left over from an earlier lease either.
    void setAddress(const char* name, uint32_t type, const std::string& address) {
        if (address.empty()) {
            registry::RegDeleteValue(m_key, name);
            return;
        }
        // A multi-string's list ends with a second null.
        std::string data =
            address + (type == registry::REG_MULTI_SZ ? std::string(2, '\0') : std::string(1, '\0'));
        registry::RegSetValueEx(m_key, name, type, reinterpret_cast<const uint8_t*>(data.data()),
                                uint32_t(data.size()));
    }
    void remove(const char* name) { registry::RegDeleteValue(m_key, name); }

private:
    registry::HKEY m_key = nullptr;
};

// Seconds since 1970 as the registry's DWORD keeps them; a lease past its range ends at its end.
uint32_t dwordSeconds(long long seconds) {
    return uint32_t(std::clamp<long long>(seconds, 0, UINT32_MAX));
}

}  // namespace

void keepDhcpLease(const std::string& adapterName, const lab::Element& dhcp) {
    // A static address is the administrator's, kept elsewhere; there is no lease to record.
    if (!dhcp.flag("enabled")) return;
    TcpipParameters parameters(adapterName, TcpipParameters::Open::CREATING);
    if (!parameters.opened()) return;
    const long long obtained = static_cast<long long>(std::time(nullptr));
    parameters.setDword("EnableDHCP", DHCP_ENABLED);
    parameters.setAddress("DhcpIPAddress", registry::REG_SZ, dhcp.text("address"));
    parameters.setAddress("DhcpSubnetMask", registry::REG_SZ, dhcp.text("mask"));
    parameters.setAddress("DhcpServer", registry::REG_SZ, dhcp.text("server"));
    parameters.setAddress("DhcpDefaultGateway", registry::REG_MULTI_SZ, dhcp.text("gateway"));
    parameters.setDword("LeaseObtainedTime", dwordSeconds(obtained));
    parameters.setDword("LeaseTerminatesTime", dwordSeconds(obtained + dhcp.integer("leaseSec")));
}

void releaseDhcpLease(const std::string& adapterName) {
    TcpipParameters parameters(adapterName, TcpipParameters::Open::EXISTING);
    if (!parameters.opened()) return;
    for (const char* name : LEASE_VALUES) parameters.remove(name);
}

}  // namespace qxauth
