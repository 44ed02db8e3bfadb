#include "vel/ipcmsghandlers/GetConnectionModeHandler.h"

#include "vel/connapi/ConnectionBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetConnectionModeHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    Configuration configuration = ConnApiEngine::activeConfiguration();
    Ascii groupName;
    Ascii networkName;
    NetworkProxy manual = configuration.manualNetwork();
    NetworkGroupProxy active = configuration.activeGroup();
    if (manual.exists() && active.exists()) {
        groupName = active.networkGroup().name();
        networkName = manual.network().name();
    }
    const std::int32_t mode = configuration.connectionMode() == ConfigurationImpl::MODE_AUTOMATIC
                                  ? ConfigurationImpl::MODE_AUTOMATIC
                                  : ConfigurationImpl::MODE_MANUAL;
    ConnectionBodies::writeConnectionMode(reply, mode, groupName, networkName);
    return 0;
}

std::int32_t GetConnectionModeHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_CONNECTION_MODE_RESPONSE;
}
