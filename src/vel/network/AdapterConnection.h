#pragma once
// What a network asks of the adapter it holds: connect with the network's physical-layer
// information and 802.1X settings, verify the connection again after a resume, re-authenticate
// and disconnect. The engine installs the adapters' own operations; tests install a fake adapter
// that publishes its states at once.
#include <cstdint>

#include "vel/adapter/VelAdapter.h"
#include "vel/configuration/Settings8021x.h"
#include "vel/phyinfo/PhyInfo.h"
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Installed.h"

class AdapterConnectionInterface : public ElementInterface {
public:
    // authenticationType: 1 when the connection needs no authentication, else 0.
    virtual void connect(const VelAdapter& adapter, const PhyInfo& phyInfo, const Settings8021x& settings,
                         std::int32_t authenticationType) = 0;
    virtual void restartConnection(const VelAdapter& adapter, const PhyInfo& phyInfo) = 0;
    virtual void reAuth(const VelAdapter& adapter) = 0;
    virtual void disconnect(const VelAdapter& adapter) = 0;
};

using InstalledAdapterConnection = InstalledObject<AdapterConnectionInterface>;
