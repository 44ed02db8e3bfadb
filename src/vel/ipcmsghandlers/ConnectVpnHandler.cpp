#include "vel/ipcmsghandlers/ConnectVpnHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t ConnectVpnHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    Configuration configuration = ConnApiEngine::activeConfiguration();
    NetworkProxy connected = configuration.connectedNetwork();
    if (!connected.exists()) return ConnApiConstants::ERROR_INTERNAL;
    NetworkGroupProxy active = configuration.activeGroup();
    if (!active.exists()) return ConnApiConstants::ERROR_INTERNAL;
    // The VPN manager takes the VPN entry of the connected network of the active group.
    configuration.vpnManager().connectVpn();
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t ConnectVpnHandlerImpl::replyCommand() {
    return ConnApiMessages::CONNECT_VPN_RESPONSE;
}
