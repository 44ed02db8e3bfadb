#include "gui/client/QtMessageLog.h"

#include <QByteArray>
#include <QString>

#include "runtime/lum/Log.h"

namespace {

void logQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    const QByteArray line = text.toUtf8();
    switch (type) {
        case QtDebugMsg:
            logDebug("%s", line.constData());
            break;
        case QtInfoMsg:
            logInfo(0, "%s", line.constData());
            break;
        case QtWarningMsg:
            logWarning(0, "%s", line.constData());
            break;
        case QtCriticalMsg:
        case QtFatalMsg:
            // Qt ends the program itself after a fatal message; the line is in the log first.
            logError(0, "%s", line.constData());
            break;
    }
}

}  // namespace

QtMessageHandler QtMessageLog::install() {
    return qInstallMessageHandler(&logQtMessage);
}
