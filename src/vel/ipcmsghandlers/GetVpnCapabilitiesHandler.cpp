#include "vel/ipcmsghandlers/GetVpnCapabilitiesHandler.h"

#include "vel/connapi/VpnBodies.h"
#include "vel/exception/FileIOException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetVpnCapabilitiesHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    Configuration configuration = ConnApiEngine::activeConfiguration();
    if (!configuration.policy().userControlPolicy().allowVpn())
        return ConnApiConstants::ERROR_DENIED_BY_POLICY;
    VpnCapabilitiesRecord record;
    if (configuration.vpnManager().isAutomatedVpnCapable()) {
        const AsciiVector profiles = ConnApiEngine::vpnProfiles();
        // Without a profile there is no default entry to name: the VPN cannot start by itself.
        if (profiles.length() > 0) {
            // Entries of profiles the VPN client no longer has are dropped.
            configuration.vpnManager().removeVpnsOnChange(profiles);
            try {
                ConnApiEngine::writeUserConfiguration();
            } catch (const FileIOException& e) {
                // The profiles are still the VPN client's; the user is shown them.
                e.report();
            }
            record.automatedVpnCapable = true;
            record.connectionEntries = profiles;
            record.defaultConnectionEntry = profiles.get(0);
        }
    }
    VpnBodies::writeVpnCapabilities(reply, record);
    return 0;
}

std::int32_t GetVpnCapabilitiesHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_VPN_CAPABILITIES_RESPONSE;
}
