#pragma once

#include <QList>
#include <QString>
#include <QSystemTrayIcon>

// One balloon message the tray icon showed.
struct Balloon {
    QString title;
    QString text;
    QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
    int msecs = 0;
};

// Keeps the balloons the tray icon showed, most recent last, so that what the user was told can be
// read back (there is no tray to look at without a desktop). Holds the latest few only.
class BalloonRecorder {
public:
    static constexpr int KEPT = 32;

    void record(const Balloon& balloon);
    const QList<Balloon>& balloons() const { return m_balloons; }
    // The latest balloon; an empty one when none was shown.
    Balloon last() const { return m_balloons.isEmpty() ? Balloon() : m_balloons.last(); }
    void clear() { m_balloons.clear(); }

private:
    QList<Balloon> m_balloons;
};
