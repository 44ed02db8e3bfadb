#pragma once
// How the room of the engine's queue is shared, since a full queue ends the service. Producers
// that can wait for room (the pipe's connections) keep within their share and wait; producers
// that cannot wait (timers, callbacks of the outside libraries) post into the reserve, which no
// waiting producer may take.
#include "vel/multithread/ThreadedQueue.h"

class EventQueueBudget {
public:
    static constexpr int SIZE = ThreadedQueueImpl::QUEUE_SIZE;
    static constexpr int PIPE_SHARE = 50;
    static constexpr int RESERVE = SIZE - PIPE_SHARE;
    static_assert(PIPE_SHARE > 0 && RESERVE > 0);
};
