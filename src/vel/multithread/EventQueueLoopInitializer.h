#pragma once

#include "vel/reference/ElementInterface.h"
#include "vel/reference/ReferenceImpl.h"

// Work a queue thread does before its first event and after its last, on that thread, so that
// objects live on the thread that later runs them.
class EventQueueLoopInitializerInterface : public ElementInterface {
public:
    virtual void init() = 0;
    virtual void finalize() = 0;
};

// For queue threads that have nothing to prepare.
class DummyEventQueueLoopInitializerImpl : public ReferenceImpl, public EventQueueLoopInitializerInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void init() override {}
    void finalize() override {}
};
