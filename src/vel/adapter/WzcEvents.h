#pragma once
// Switching the operating system's wireless configuration off for an adapter is slow: it runs on
// the alternate queue's thread, touching only the adapter's port name manager, and the adapter
// hears that it is done on the engine event-queue thread.
#include "vel/adapter/VelAdapter.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/port/PortNameManager.h"

class WzcDisableEventImpl : public MessageEventImpl {
public:
    WzcDisableEventImpl(const VelAdapter& adapter, const PortNameManager& portNameManager)
        : m_adapter(adapter), m_portNameManager(portNameManager) {}
    // Alternate-queue thread.
    void run() override;

private:
    VelAdapter m_adapter;
    PortNameManager m_portNameManager;
};

class WzcDisabledEventImpl : public MessageEventImpl {
public:
    explicit WzcDisabledEventImpl(const VelAdapter& adapter) : m_adapter(adapter) {}
    // Engine event-queue thread.
    void run() override;

private:
    VelAdapter m_adapter;
};
