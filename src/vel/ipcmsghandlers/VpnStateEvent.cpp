#include "vel/ipcmsghandlers/VpnStateEvent.h"

#include "vel/connapi/VpnBodies.h"
#include "vel/enumtostring/Conversions.h"
#include "vel/xmlconnectionapi/ConnApiCommand.h"

void VpnStateEventImpl::writeBody(SoapBodyContext& context) {
    VpnBodies::writeVpnStateEvent(context, VpnStateToText(m_state), VpnStatusToText(m_status));
}

std::int32_t VpnStateEventImpl::command() {
    return ConnApiCommand::VPN_STATE_EVENT;
}
