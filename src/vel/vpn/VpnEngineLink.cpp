#include "vel/vpn/VpnEngineLink.h"

#include "runtime/lum/Log.h"
#include "vel/ipcmsghandlers/GetBannerRequest.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnConstants.h"
#include "vel/vpn/VpnEngine.h"

void VpnEngineLink::install() {
    VpnEventReceiver::set(this);
    ConnApiSeam<ConnApiVpnInterface>::install(this);
}

void VpnEngineLink::uninstall() {
    ConnApiSeam<ConnApiVpnInterface>::install(nullptr);
    VpnEventReceiver::set(nullptr);
}

void VpnEngineLink::handleClientEvent(std::int32_t clientEvent) {
    Configuration configuration;
    if (!VpnEngine::activeConfiguration(configuration)) {
        logDebug("No VPN manager for vpnClientEvent %d", clientEvent);
        return;
    }
    configuration.vpnManager().handleClientEvent(clientEvent);
}

void VpnEngineLink::handleBanner(const Ascii& banner) {
    SoapOutgoingMessage(new GetBannerRequestImpl(banner)).send();
}

std::int32_t VpnEngineLink::lastVpnState() {
    Configuration configuration;
    if (!VpnEngine::activeConfiguration(configuration)) return VpnConstants::STATE_DISCONNECTED;
    return configuration.vpnManager().lastVpnStatus();
}

AsciiVector VpnEngineLink::vpnProfiles() {
    if (TamselVpnClientImpl::Singleton.load() == nullptr) return AsciiVector();
    return TamselVpnClient::Instance().getVpnProfiles();
}
