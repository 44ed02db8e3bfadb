#include "vel/ipcmsghandlers/DisconnectVpnHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t DisconnectVpnHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    Configuration configuration = ConnApiEngine::activeConfiguration();
    if (!configuration.connectedNetwork().exists()) return ConnApiConstants::ERROR_INTERNAL;
    configuration.vpnManager().disconnectVpn();
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t DisconnectVpnHandlerImpl::replyCommand() {
    return ConnApiMessages::DISCONNECT_VPN_RESPONSE;
}
