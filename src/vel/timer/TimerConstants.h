#ifndef TAMSEL_VEL_TIMER_TIMERCONSTANTS_H
#define TAMSEL_VEL_TIMER_TIMERCONSTANTS_H

class TimerConstants {
public:
    // The longest timer, in seconds.
    static constexpr int MAX_TIMEOUT_S = 600;
};

#endif
