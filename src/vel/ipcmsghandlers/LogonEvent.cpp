#include "vel/ipcmsghandlers/LogonEvent.h"

#include "vel/connapi/SsoBodies.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void LogonEventImpl::writeBody(SoapBodyContext& context) {
    SsoBodies::writeLogonEvent(context, m_logonAttemptId, m_eventType);
}

std::int32_t LogonEventImpl::command() {
    return ConnApiMessages::LOGON_EVENT;
}
