#pragma once
// getNetworksInGroupRequest: the global networks and those of the group, at most 100, each with
// its SSID and pair, VPN entry, script and, for an 802.1X network, the EAP method and credential
// type of the connection type it runs as.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetNetworksInGroupHandlerImpl : public SoapRequestHandlerImpl {
public:
    // The reply lists no more.
    static constexpr std::size_t MAX_NETWORKS = 100;

    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
