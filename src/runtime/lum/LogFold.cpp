#include "runtime/lum/LogFold.h"

bool LogFold::occur() {
    if (m_occurred < m_inFull) {
        ++m_occurred;
        return true;
    }
    if (m_folded == 0) m_foldStart = Clock::now();
    ++m_folded;
    return false;
}

LogFold::Told LogFold::take(bool end) {
    Told told;
    if (m_folded == 0) return told;
    const Clock::duration covered = Clock::now() - m_foldStart;
    if (!end && covered < m_interval) return told;
    told.count = m_folded;
    told.seconds = std::chrono::duration_cast<std::chrono::seconds>(covered).count();
    m_folded = 0;
    return told;
}
