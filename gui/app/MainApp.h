#pragma once
// The tray program's application object. What the system tells the program (a second start asking
// for the main window, a quit request, power events, the end of the session) arrives here as
// platform messages and becomes log lines and signals.
#include <QApplication>

class MainApp : public QApplication {
    Q_OBJECT
public:
    enum class PlatformMessage { Show, SessionChange, Quit, PowerBroadcast };

    // Power event codes that disconnect the VPN: the system suspends, and resumes.
    static constexpr int POWER_SUSPEND = 4;
    static constexpr int POWER_RESUME_SUSPEND = 7;
    static constexpr const char* MAIN_WINDOW_TITLE = "Varnel Tamsel";

    MainApp(int& argc, char** argv);
    ~MainApp() override;

    // Acts on one platform message; always false, so the message goes on to Qt.
    bool handlePlatformMessage(PlatformMessage kind, int code = 0);
    // The session ends: the VPN is disconnected first.
    void commitData();

    // SIGINT quits; SIGTERM ends the session (commitData) and then quits.
    static void installControlHandler();

signals:
    void quitApplication();
    void vpnResumeDisconnectGUI();

private slots:
    void prepareForSleep(bool sleeping);
    void controlEvent(int type);
};
