#include "gui/app/GuiStartup.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "gui/app/CMainControl.h"
#include "gui/app/MainApp.h"
#include "gui/app/SingleInstance.h"
#include "gui/client/QtMessageLog.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/ShowMainWindowFlag.h"
#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LoggingThread.h"
#include "runtime/lum/RuntimeFolders.h"

namespace {

// The tray's own log: the last run's lines are kept as the previous log.
void prepareLogFiles() {
    const QString folder = QString::fromStdString(runtimeLogsFolder());
    const QString current = folder + QLatin1String(GuiStartup::CURRENT_LOG);
    const QString previous = folder + QLatin1String(GuiStartup::PREVIOUS_LOG);
    if (QFile::exists(current)) {
        QFile::remove(previous);
        QFile::rename(current, previous);
    }
    static const LogFileSpec spec = {
        LogConstants::FOLDER_PROGRAM_DATA, LogConstants::ALL_LEVELS, GuiStartup::CURRENT_LOG, nullptr, 1, 0};
    configureLogFiles(&spec, 1);
    initLogFiles();
}

void startLogging() {
    prepareLogFiles();
    if (startLoggingThread(LogConstants::RING_SIZE, LogConstants::PASS_SIZE, LogConstants::LINE_SIZE)) {
        logInfo(0, "Logging thread successfully started.");
    } else {
        logInfo(0, "Logging thread failed to start - using non-buffered logging.");
    }
    logInfo(0, "tamselgui has successfully started.");
    installCrashHandler();
    QtMessageLog::install();
}

// "-Quit": asks the running instance to quit and waits until it has let its lock go.
int quitRunningInstance(SingleInstance& instance) {
    if (instance.claim() == SingleInstance::Claim::First) {
        instance.release();
        std::fprintf(stderr, "tamselgui: no instance runs in this session.\n");
        return 1;
    }
    if (!SingleInstance::signalRunningInstance(SingleInstance::QUIT_MESSAGE)) {
        std::fprintf(stderr, "tamselgui: the running instance did not take the quit request.\n");
        return 1;
    }
    const bool freed = instance.claimWithin(GuiStartup::QUIT_WAIT_MS);
    instance.release();
    return freed ? 0 : 1;
}

}  // namespace

bool GuiStartup::firstArgumentIs(int argc, char** argv, const char* name) {
    return argc > 1 && QString::fromLocal8Bit(argv[1]).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

int GuiStartup::run(int argc, char** argv) {
    // Before any thread exists, so that every later thread leaves SIGINT and SIGTERM to it.
    MainApp::installControlHandler();

    SingleInstance instance;
    if (firstArgumentIs(argc, argv, QUIT_SWITCH)) return quitRunningInstance(instance);
    // The lock comes before the log, so that a second start never turns the running instance's
    // current log into the previous one.
    switch (instance.claim()) {
        case SingleInstance::Claim::First:
            break;
        case SingleInstance::Claim::OtherRunning:
            SingleInstance::signalRunningInstance(SingleInstance::SHOW_MESSAGE);
            return 0;
        case SingleInstance::Claim::Failed:
            std::fprintf(stderr, "tamselgui: the single-instance lock %s cannot be taken.\n",
                         qPrintable(SingleInstance::lockName()));
            return 1;
    }
    startLogging();

    if (firstArgumentIs(argc, argv, ACCESS_SWITCH)) showMainWindowAtStart = true;

    try {
        orvik::QtHelp::loadIndex(QString::fromStdString(executableFolder()) + QLatin1String(HELP_INDEX));
    } catch (const orvik::Exception&) {
        logInfo(0, "Error the help system could not be found.");
    }

    auto app = std::make_unique<MainApp>(argc, argv);
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLatin1String(TRANSLATION_PREFIX) + QLocale::system().name())) {
        // English texts, as written.
    }
    MainApp::installTranslator(translator.get());
    MainApp::setQuitOnLastWindowClosed(false);

    if (!instance.listen())
        logWarning(0, "The hand-off socket %s cannot be served.", qPrintable(SingleInstance::socketPath()));
    auto control = std::make_unique<CMainControl>();
    control->setInstanceRelease([&instance] { instance.release(); });
    QObject::connect(app.get(), &MainApp::vpnResumeDisconnectGUI, control.get(),
                     &CMainControl::SuspendResumeDisconnectVPN);
    QObject::connect(control.get(), &CMainControl::done, app.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(app.get(), &MainApp::quitApplication, control.get(), &CMainControl::OnClose);
    MainApp* application = app.get();
    QObject::connect(&instance, &SingleInstance::showRequested, application,
                     [application] { application->handlePlatformMessage(MainApp::PlatformMessage::Show); });
    QObject::connect(&instance, &SingleInstance::quitRequested, application,
                     [application] { application->handlePlatformMessage(MainApp::PlatformMessage::Quit); });

    const int code = MainApp::exec();
    control.reset();
    translator.reset();
    app.reset();
    logInfo(0, "tamselgui has ended.");
    stopLoggingThread();
    return code;
}
