#pragma once

#include "vel/multithread/MessageEvent.h"
#include "vel/reference/Proxy.h"

// An event handed out by a queue, or nothing when the queue has ended.
class MessageEventProxy : public Proxy {
public:
    enum TakeOver { TAKE_OVER };

    MessageEventProxy() = default;
    // Takes over the reference that p already carries (the one the queue held for it).
    MessageEventProxy(MessageEventImpl* p, TakeOver) { m_p = p; }

    // The event; exists() must have been asked.
    MessageEventImpl* event() const;
};
