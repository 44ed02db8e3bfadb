#include "vel/timer/TimerExpirationEvent.h"

void TimerExpirationEventImpl::run() {
    // A timer runs only once per object, so a timer not cancelled is still in the start that
    // expired; a restart is a new timer and leaves this one cancelled.
    if (m_timer.isCancelled()) return;
    m_timer.impl()->subscriber()->timerExpired(m_timer);
}
