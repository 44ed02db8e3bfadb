#pragma once

#include <QString>
#include <array>
#include <cstdint>

// Rates a received signal strength (the dBm text the service sends) on a channel as a level from
// 0 (no reading) to 5. Each rating call sets the range and thresholds for its channel afresh.
class SignalStrength {
public:
    int signalLevel(const QString& dbm, int channel);
    QString signalLevelText(const QString& dbm, int channel);

    void selectSignalRange(int channel);
    void computeSignalThresholds();

    int minimumDbm() const { return m_minimumDbm; }
    int maximumDbm() const { return m_maximumDbm; }
    bool thresholdsComputed() const { return m_thresholdsComputed; }
    const std::array<std::int8_t, 4>& thresholds() const { return m_thresholds; }

private:
    std::int32_t m_minimumDbm = 0;
    std::int32_t m_maximumDbm = 0;
    bool m_thresholdsComputed = false;
    std::array<std::int8_t, 4> m_thresholds{};
};
