#include "vel/ipcmsghandlers/ConnApiEngine.h"

bool ConnApiEngine::configurationExists() {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    return configuration != nullptr && configuration->exists();
}

bool ConnApiEngine::activeGroupName(Ascii& name) {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    return configuration != nullptr && configuration->activeGroupName(name);
}

bool ConnApiEngine::isRadioOn() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    return matchmaker == nullptr || matchmaker->isRadioOn();
}

void ConnApiEngine::resetAdapters() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->resetAdapters();
}

std::int32_t ConnApiEngine::currentLogonAttemptId() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    return logon != nullptr ? logon->currentLogonAttemptId() : 0;
}

void ConnApiEngine::beginSsoCredentialRequest(const ConnApiNetwork& network) {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->beginSsoCredentialRequest(network);
}

std::int32_t ConnApiEngine::lastVpnState() {
    ConnApiVpnInterface* vpn = ConnApiSeam<ConnApiVpnInterface>::installed();
    return vpn != nullptr ? vpn->lastVpnState() : VPN_STATE_DISCONNECTED;
}
