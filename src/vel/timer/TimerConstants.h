#pragma once

class TimerConstants {
public:
    // The longest timer, in seconds.
    static constexpr int MAX_TIMEOUT_S = 600;
};
