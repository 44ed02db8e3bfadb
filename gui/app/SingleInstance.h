#pragma once
// One tray program per user session: a named lock below the program's own root, held from start
// to an orderly quit, and a socket beside it on which a later start hands over its wish (show the
// main window, or quit).
#include <QObject>
#include <QString>
#include <memory>

#include "platform/win/NamedMutex.h"

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* SHOW_MESSAGE = "{CD50AF56-127D-442C-A52D-E0592BDE7280}";
    static constexpr const char* QUIT_MESSAGE = "{3958DC83-6692-4AEE-852B-55551D6E8D1A}";

    enum class Claim { First, OtherRunning, Failed };

    SingleInstance();
    ~SingleInstance() override;

    // "<show message>-<session>": the session from XDG_SESSION_ID, else the display, else "0".
    static QString lockName();
    // The hand-off socket's path.
    static QString socketPath();

    // Takes the lock without waiting.
    Claim claim();
    // Waits up to `milliseconds` for the lock (a quitting instance lets it go); true when taken.
    bool claimWithin(int milliseconds);
    // Lets the lock go and closes it; the hand-off socket closes too.
    void release();
    bool held() const { return m_held; }

    // Serves the hand-off socket (owner only); false when it cannot listen.
    bool listen();
    // Tells the running instance the message; false when none takes it.
    static bool signalRunningInstance(const char* message);

signals:
    void showRequested();
    void quitRequested();

private:
    void readHandOff();

    winsvc::MUTEX_HANDLE m_mutex = nullptr;
    bool m_held = false;
    std::unique_ptr<QLocalServer> m_server;
};
