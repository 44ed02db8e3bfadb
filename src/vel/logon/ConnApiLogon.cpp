#include "vel/logon/ConnApiLogon.h"

void ConnApiLogon::install(const LogonStateMachine& machine,
                           const ContextForCredentialRequestToSso& context) {
    // An empty handle leaves that part's answers at those of a service without it.
    if (!machine.isNull()) m_machine = machine;
    if (!context.isNull()) m_context = context;
    ConnApiSeam<ConnApiLogonInterface>::install(this);
}

void ConnApiLogon::uninstall() {
    if (ConnApiSeam<ConnApiLogonInterface>::installed() == this)
        ConnApiSeam<ConnApiLogonInterface>::install(nullptr);
    m_machine.reset();
    m_context.reset();
}

std::int32_t ConnApiLogon::currentLogonAttemptId() {
    return m_machine ? m_machine->currentLogonAttemptId() : 0;
}

std::int32_t ConnApiLogon::getLogonStatus() {
    return m_machine ? m_machine->getLogonStatus() : LogonConstants::NO_LOGON_STATUS;
}

void ConnApiLogon::beginSsoCredentialRequest(const ConnApiNetwork& network) {
    if (m_context) m_context->beginRequest(network);
}

ConnApiNetworkProxy ConnApiLogon::ssoCredentialNetwork() {
    return m_context ? m_context->network() : ConnApiNetworkProxy();
}

void ConnApiLogon::setSsoCredentialRequestPending() {
    if (m_context) m_context->setPending();
}

void ConnApiLogon::endSsoCredentialRequest() {
    if (m_context) m_context->endRequest();
}

void ConnApiLogon::setPrelogonActions(std::int32_t logonAttemptId) {
    if (m_machine) m_machine->setPrelogonActions(logonAttemptId);
}

void ConnApiLogon::setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId) {
    if (!m_machine) return;
    // A tray program sends token 0, knowing none: the logon client's token, or the one the internal
    // file kept across a restart during the session, stays, so the user's stores can be read.
    if (userTokenHandle != 0) m_machine->setUserSessionActionA(userTokenHandle);
    m_machine->setUserSessionActionB(userLogonProcessId);
}

void ConnApiLogon::handleSsoRequest(std::int32_t request) {
    if (m_machine) m_machine->handleSsoRequest(request);
}
