#include "service/ConnApiMatchmaker.h"

#include "vel/ipcmsghandlers/VelConnApiAdapter.h"

void ConnApiMatchmaker::install(const Matchmaker& matchmaker) {
    m_matchmaker = matchmaker;
    ConnApiSeam<ConnApiMatchmakerInterface>::install(this);
}

void ConnApiMatchmaker::uninstall() {
    if (ConnApiSeam<ConnApiMatchmakerInterface>::installed() == this)
        ConnApiSeam<ConnApiMatchmakerInterface>::install(nullptr);
    m_matchmaker.reset();
}

std::vector<ConnApiAdapter> ConnApiMatchmaker::adapters() {
    std::vector<ConnApiAdapter> views;
    for (const VelAdapter& adapter : m_matchmaker->adapters())
        views.push_back(VelConnApiAdapterImpl::create(adapter));
    return views;
}

ConnApiAdapter ConnApiMatchmaker::adapterOf(const Network& network) {
    VelAdapter adapter = m_matchmaker->adapterOf(network);
    return adapter.isNull() ? ConnApiAdapter() : VelConnApiAdapterImpl::create(adapter);
}
