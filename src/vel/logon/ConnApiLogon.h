#pragma once
// What the connection API asks of the logon state machine and the single-sign-on context: the
// logon client's requests and values, the logon status, and the open logon credential request.
// Installed while the engine holder holds both.
#include <optional>

#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/logon/ContextForCredentialRequestToSso.h"
#include "vel/logon/LogonStateMachine.h"

class ConnApiLogon : public ConnApiLogonInterface {
public:
    ConnApiLogon() = default;
    ~ConnApiLogon() { uninstall(); }
    ConnApiLogon(const ConnApiLogon&) = delete;
    ConnApiLogon& operator=(const ConnApiLogon&) = delete;

    void install(const LogonStateMachine& machine, const ContextForCredentialRequestToSso& context);
    // Removes it, when it is the one installed, and lets both go.
    void uninstall();

    // The value of the logon client's last pre-logon actions request.
    std::int32_t currentLogonAttemptId() override;
    std::int32_t getLogonStatus() override;
    void beginSsoCredentialRequest(const ConnApiNetwork& network) override;
    ConnApiNetworkProxy ssoCredentialNetwork() override;
    void setSsoCredentialRequestPending() override;
    void endSsoCredentialRequest() override;
    void setPrelogonActions(std::int32_t logonAttemptId) override;
    void setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId) override;
    void handleSsoRequest(std::int32_t request) override;

private:
    std::optional<LogonStateMachine> m_machine;
    std::optional<ContextForCredentialRequestToSso> m_context;
};
