#pragma once

#include "runtime/multithread/RuntimeSignal.h"
#include "service/EngineHolder.h"
#include "vel/multithread/EventQueueLoopInitializer.h"

// Builds the engine on the event-queue thread before its first event and tears it down there
// after its last. Lives in the frame of runEngine, which waits on initDone until the engine exists.
class ServiceEventQueueLoopInitializerImpl : public ReferenceImpl, public EventQueueLoopInitializerInterface {
public:
    REFERENCE_IMPL_FORWARDS

    // Throws NvoException when the init-done signal cannot be opened.
    ServiceEventQueueLoopInitializerImpl();
    ~ServiceEventQueueLoopInitializerImpl() override;

    void init() override;
    void finalize() override;

    // The main thread: returns once init() has built the engine.
    void waitForInit() { m_initDone.wait(); }

    EngineHolder* m = nullptr;

private:
    RuntimeSignal m_initDone;
};
