#pragma once
// The messages of one connection that do not read. The first few are logged as the service logs
// any such message; the rest are counted and told as one line per interval, so that a client
// sending junk cannot fill the log and rotate its history away. A connection that sends nothing
// but such messages for long is closed, as one that never reads is.
#include "runtime/lum/LogFold.h"

class UnreadableMessages {
public:
    static constexpr int LOGGED_IN_FULL = 3;
    static constexpr int INTERVAL_SECONDS = 10;
    // Messages in a row, none of which read, after which the connection is closed.
    static constexpr int MAX_IN_A_ROW = 100;

    explicit UnreadableMessages(const void* connection) : m_connection(connection) {}

    // Whether the next one that does not read is logged in full.
    bool nextInFull() const { return m_fold.nextInFull(); }
    // One more that does not read: true when the connection is to be closed now (logged).
    bool unreadable();
    void readable() { m_inARow = 0; }
    // Closed for what it sent: what it sent after is not read.
    bool closed() const { return m_inARow >= MAX_IN_A_ROW; }
    // Tells what was folded and not yet told: the connection has gone.
    void end() { tell(true); }

private:
    void tell(bool end);

    const void* m_connection;
    LogFold m_fold{LOGGED_IN_FULL, std::chrono::seconds(INTERVAL_SECONDS)};
    int m_inARow = 0;
};
