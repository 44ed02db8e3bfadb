#include "gui/app/MainApp.h"

#include <QDBusConnection>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>

#include "gui/client/ClientLog.h"
#include "platform/win/ConsoleControl.h"

namespace {

// The log line of each power event code, 0 to 11.
constexpr std::array<const char*, 12> POWER_EVENT_LINES = {
    "Received PBT_APMQUERYSUSPEND event",
    "Received PBT_APMQUERYSTANDBY event",
    "Received PBT_APMQUERYSUSPENDFAILED event",
    "Received PBT_APMQUERYSTANDBYFAILED event",
    "Received PBT_APMSUSPEND event",
    "Received PBT_APMSTANDBY event",
    "Received PBT_APMRESUMECRITICAL event",
    "Received PBT_APMRESUMESUSPEND event",
    "Received PBT_APMRESUMESTANDBY event",
    "Received PBT_APMBATTERYLOW event",
    "Received PBT_APMPOWERSTATUSCHANGE event",
    "Received PBT_APMOEMEVENT event",
};

// The application object the signal thread hands control events to; null outside its life.
std::atomic<MainApp*> g_app{nullptr};

winsvc::BOOL onControlEvent(winsvc::DWORD type) {
    MainApp* app = g_app.load();
    if (app == nullptr) return 0;
    // The signal thread only posts; the GUI thread acts.
    QMetaObject::invokeMethod(app, "controlEvent", Qt::QueuedConnection, Q_ARG(int, static_cast<int>(type)));
    return 1;
}

}  // namespace

MainApp::MainApp(int& argc, char** argv) : QApplication(argc, argv) {
    g_app = this;
    connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { commitData(); });
    // Sleep and wake come from logind when a system bus answers.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) {
        bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                    SLOT(prepareForSleep(bool)));
    }
}

MainApp::~MainApp() {
    g_app = nullptr;
}

void MainApp::installControlHandler() {
    winsvc::SetConsoleCtrlHandler(&onControlEvent, 1);
}

bool MainApp::handlePlatformMessage(PlatformMessage kind, int code) {
    switch (kind) {
        case PlatformMessage::Show:
            for (QWidget* widget : topLevelWidgets()) {
                if (widget->windowTitle() != QLatin1String(MAIN_WINDOW_TITLE)) continue;
                widget->show();
                widget->activateWindow();
                break;
            }
            break;
        case PlatformMessage::SessionChange:
            qCInfo(lcGuiClient, "Received WM_WTSSESSION_CHANGE event.");
            qCInfo(lcGuiClient, "Session Change event from Fast User Switch.");
            break;
        case PlatformMessage::Quit:
            emit quitApplication();
            break;
        case PlatformMessage::PowerBroadcast:
            if (code < 0 || code >= static_cast<int>(POWER_EVENT_LINES.size())) break;
            qCInfo(lcGuiClient, "%s", POWER_EVENT_LINES[static_cast<size_t>(code)]);
            if (code == POWER_SUSPEND || code == POWER_RESUME_SUSPEND) emit vpnResumeDisconnectGUI();
            break;
    }
    return false;
}

void MainApp::commitData() {
    qCInfo(lcGuiClient, "commitData, invoking vpnDisconnect");
    emit vpnResumeDisconnectGUI();
    qCInfo(lcGuiClient, "commitData, after invoking vpnDisconnect");
}

void MainApp::prepareForSleep(bool sleeping) {
    handlePlatformMessage(PlatformMessage::PowerBroadcast, sleeping ? POWER_SUSPEND : POWER_RESUME_SUSPEND);
}

void MainApp::controlEvent(int type) {
    if (type == static_cast<int>(winsvc::CTRL_CLOSE_EVENT)) commitData();
    handlePlatformMessage(PlatformMessage::Quit);
}
