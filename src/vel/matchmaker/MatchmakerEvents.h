#pragma once
// The matchmaker's two events on the engine event queue: one matching pass after the changes that
// called for it, and the configuration's reconsidering of its connections when a higher-priority
// media type can serve.
#include "vel/multithread/MessageEvent.h"

class MakeMatchesEventImpl : public MessageEventImpl {
public:
    void run() override;
};

class HigherPriorityAdapterAvailableEventImpl : public MessageEventImpl {
public:
    void run() override;
};
