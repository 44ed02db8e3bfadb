#include "gui/client/SignalStrength.h"

#include <cstdlib>
#include <limits>

#include "gui/client/SecurityTables.h"

namespace {
constexpr int FIRST_24GHZ_CHANNEL = 1;
constexpr int LAST_24GHZ_CHANNEL = 14;
constexpr int LAST_LOW_5GHZ_CHANNEL = 48;
}  // namespace

void SignalStrength::selectSignalRange(int channel) {
    if (channel >= FIRST_24GHZ_CHANNEL && channel <= LAST_24GHZ_CHANNEL) {
        m_minimumDbm = -80;
        m_maximumDbm = -10;
        m_thresholdsComputed = false;
        m_thresholds = {-80, -70, -67, -46};
    } else if (channel > LAST_24GHZ_CHANNEL && channel <= LAST_LOW_5GHZ_CHANNEL) {
        m_minimumDbm = -80;
        m_maximumDbm = -10;
        m_thresholdsComputed = true;
    } else {
        m_minimumDbm = -95;
        m_maximumDbm = -45;
        m_thresholdsComputed = true;
    }
}

void SignalStrength::computeSignalThresholds() {
    // 64-bit so that the span of the reset range cannot overflow.
    const std::int64_t quarter =
        std::llabs(static_cast<std::int64_t>(m_maximumDbm) - static_cast<std::int64_t>(m_minimumDbm)) / 4;
    std::int64_t threshold = m_minimumDbm;
    for (std::int8_t& t : m_thresholds) {
        t = static_cast<std::int8_t>(threshold);
        threshold += quarter;
    }
}

int SignalStrength::signalLevel(const QString& dbm, int channel) {
    m_minimumDbm = std::numeric_limits<std::int32_t>::min();
    m_maximumDbm = std::numeric_limits<std::int32_t>::max();
    selectSignalRange(channel);
    if (m_thresholdsComputed) computeSignalThresholds();

    bool ok = false;
    const int value = dbm.trimmed().toInt(&ok, 10);
    if (!ok || value == 0) return 0;
    for (int level = 0; level < static_cast<int>(m_thresholds.size()); ++level) {
        if (value <= m_thresholds[level]) return level + 1;
    }
    return 5;
}

QString SignalStrength::signalLevelText(const QString& dbm, int channel) {
    return signalLevelNames().at(signalLevel(dbm, channel));
}
