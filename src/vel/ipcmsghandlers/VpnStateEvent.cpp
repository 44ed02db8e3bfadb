#include "vel/ipcmsghandlers/VpnStateEvent.h"

#include "vel/connapi/VpnBodies.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void VpnStateEventImpl::writeBody(SoapBodyContext& context) {
    VpnBodies::writeVpnStateEvent(context, VpnStateToText(m_state), VpnStatusToText(m_status));
}

std::int32_t VpnStateEventImpl::command() {
    return ConnApiMessages::VPN_STATE_EVENT;
}
