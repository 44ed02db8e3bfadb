#include "vel/ipcmsghandlers/VelConnApiAdapter.h"

LocationCapabilities VelConnApiAdapterImpl::locationCapabilities() {
    SsidProxy entry = m_adapter.scanDetails();
    return entry.exists() ? entry.ssid().getLocationCapabilities() : LocationCapabilities();
}

ConnApiAdapter VelConnApiAdapterImpl::create(const VelAdapter& adapter) {
    auto* view = new VelConnApiAdapterImpl(adapter);
    ConnApiAdapter handle(static_cast<ConnApiAdapterInterface*>(view));
    view->release();
    return handle;
}
