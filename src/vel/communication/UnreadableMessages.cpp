#include "vel/communication/UnreadableMessages.h"

#include "runtime/lum/Log.h"

bool UnreadableMessages::unreadable() {
    m_fold.occur();
    ++m_inARow;
    const bool close = m_inARow >= MAX_IN_A_ROW;
    tell(close);
    if (close) {
        logError(0, "Connection %p sends nothing that reads: closed after %d such messages in a row",
                 m_connection, m_inARow);
    }
    return close;
}

void UnreadableMessages::tell(bool end) {
    const LogFold::Told told = m_fold.take(end);
    if (told.count > 0) {
        logError(0, "Connection %p: %d more messages that do not read in %lld s, not logged one by one",
                 m_connection, told.count, told.seconds);
    }
}
