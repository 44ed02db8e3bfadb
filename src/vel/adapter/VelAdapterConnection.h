#pragma once
// The networks' way to the adapter objects' own operations: connect, the connection started
// again, re-authentication and disconnect go straight to the adapter. The engine holder installs
// one for every network.
#include "vel/network/AdapterConnection.h"
#include "vel/reference/ReferenceImpl.h"

class VelAdapterConnectionImpl : public ReferenceImpl, public AdapterConnectionInterface {
public:
    REFERENCE_IMPL_FORWARDS

    void connect(const VelAdapter& adapter, const PhyInfo& phyInfo, const Settings8021x& settings,
                 std::int32_t authenticationType) override {
        adapter.connect(phyInfo, settings, authenticationType);
    }
    void restartConnection(const VelAdapter& adapter, const PhyInfo& phyInfo) override {
        adapter.restartConnection(phyInfo);
    }
    void reAuth(const VelAdapter& adapter) override { adapter.reAuth(); }
    void disconnect(const VelAdapter& adapter) override { adapter.disconnect(); }

    // Installs a new one for the networks; uninstall() removes it.
    static void install();
    static void uninstall() { InstalledAdapterConnection::install(nullptr); }
};
