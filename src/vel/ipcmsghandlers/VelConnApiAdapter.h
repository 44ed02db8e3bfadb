#pragma once
// The connection API's view of an adapter object: its symbolic name, its port manager's packet
// capture and the location service of the access point its radio is associated with. The
// matchmaker hands these out for the adapters it holds.
#include "vel/adapter/VelAdapter.h"
#include "vel/ipcmsghandlers/ConnApiAdapter.h"
#include "vel/reference/ReferenceImpl.h"

class VelConnApiAdapterImpl : public ReferenceImpl, public ConnApiAdapterInterface {
public:
    explicit VelConnApiAdapterImpl(const VelAdapter& adapter) : m_adapter(adapter) {}
    REFERENCE_IMPL_FORWARDS

    Ascii adapterName() override { return m_adapter.symbolicName(); }
    bool enablePacketCapture() override { return m_adapter.enablePacketCapture(); }
    void disablePacketCapture() override { m_adapter.disablePacketCapture(); }
    // Those of the scan entry of the associated access point; none without one.
    LocationCapabilities locationCapabilities() override;
    bool requestLocation(const LocationRequest& request) override { return m_adapter.location(request); }

    // The view of the adapter.
    static ConnApiAdapter create(const VelAdapter& adapter);

private:
    VelAdapter m_adapter;
};
