#include "gui/windows/BalloonRecorder.h"

void BalloonRecorder::record(const Balloon& balloon) {
    if (m_balloons.size() >= KEPT) m_balloons.removeFirst();
    m_balloons.append(balloon);
}
