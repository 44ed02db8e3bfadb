#pragma once
// changeNetworkRequest: moves, renames, reorders and changes a user's network; of an
// administrator's network only the EAP settings and script are left alone and the VPN entry changed.
#include "vel/configuration/Configuration.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class ChangeNetworkHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;

private:
    // Where a user's network goes: another group (empty: it stays), and how it moves; and what of
    // its key and EAP method still applies to the pair it ends with.
    struct Moves {
        NetworkGroup target;
        std::int32_t priority = NetworkGroup::PRIORITY_NONE;
        bool storeKey = false;
        bool dropKey = false;
        bool dropEapMethod = false;
    };

    // Every refusal, before anything changes; 0 or the fault.
    static std::int32_t checkUserChange(const ChangeNetworkRequestRecord& record,
                                        const Configuration& configuration, const NetworkGroup& holder,
                                        const Network& network, Moves& moves);
    // The settings the network ends with, checked against what the user's file holds.
    static std::int32_t checkResultingNetwork(const NetworkSettingsRecord& settings, const Network& network,
                                              Moves& moves);
    // Whether the network's access changed.
    static bool applyUserChange(const ChangeNetworkRequestRecord& record, const Configuration& configuration,
                                const NetworkGroup& holder, const Network& network, const Moves& moves);
    // The entry follows a moved or renamed network; one given in the request replaces it.
    static void changeVpnEntry(const ChangeNetworkRequestRecord& record, const VpnManager& manager,
                               bool global, const Ascii& oldVpnGroupName);
};
