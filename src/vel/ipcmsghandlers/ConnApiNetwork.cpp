#include "vel/ipcmsghandlers/ConnApiNetwork.h"

ConnApiNetwork ConnApiNetworkProxy::network() const {
    ElementInterface* p = element();
    return p != nullptr ? ConnApiNetwork(static_cast<ConnApiNetworkInterface*>(p)) : ConnApiNetwork();
}
