#pragma once
// Brings the outcome of an address attempt back to the engine thread.
#include <cstdint>

#include "vel/multithread/MessageEvent.h"

class DhcpManagerImpl;

class DhcpManagerResultEventImpl : public MessageEventImpl {
public:
    // Takes a reference to the manager.
    DhcpManagerResultEventImpl(DhcpManagerImpl* manager, std::int32_t result);
    ~DhcpManagerResultEventImpl() override;

    void run() override;

    // To the engine event queue.
    static void post(DhcpManagerImpl* manager, std::int32_t result);

private:
    DhcpManagerImpl* m_manager;
    std::int32_t m_result;
};
