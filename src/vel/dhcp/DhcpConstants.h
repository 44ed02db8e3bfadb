#pragma once
// The numbers of one address attempt: its results, the states of its machine and the events
// that move it.
#include <cstdint>

class DhcpConstants {
public:
    enum Result : std::int32_t {
        RESULT_ADDRESS = 1,
        RESULT_FAILED = 2,
        RESULT_STOPPED = 3,
        RESULT_NONE = 4,
    };

    enum State : std::int32_t {
        STATE_IDLE = 1,
        STATE_RUNNING = 2,
        STATE_RESTART_PENDING = 3,
        STATE_STOP_PENDING = 4,
        STATE_FINISHED = 5,
    };

    enum Event : std::int32_t {
        EVENT_START = 1,
        EVENT_STOP = 2,
        EVENT_SUCCEEDED = 3,
        EVENT_FAILED = 4,
        EVENT_PENDING_NOTICED = 5,
    };

    // Reconnects of one series before the attempt counts as failed.
    static constexpr int RECONNECT_TRIES = 5;
};
