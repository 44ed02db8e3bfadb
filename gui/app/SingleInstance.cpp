#include "gui/app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "platform/base/Root.h"

namespace {

constexpr int HAND_OFF_WAIT_MS = 2000;

}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() {
    release();
}

QString SingleInstance::lockName() {
    QString session = qEnvironmentVariable("XDG_SESSION_ID");
    if (session.isEmpty()) session = qEnvironmentVariable("DISPLAY");
    if (session.isEmpty()) session = QStringLiteral("0");
    // The name becomes a file name below the root.
    session.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QLatin1String(SHOW_MESSAGE) + QLatin1Char('-') + session;
}

QString SingleInstance::socketPath() {
    const QString folder = QString::fromStdString(base::rootFolder(base::RootFolders::RUN));
    return folder + QLatin1Char('/') + lockName() + QLatin1String(".sock");
}

SingleInstance::Claim SingleInstance::claim() {
    if (m_held) return Claim::First;
    if (m_mutex == nullptr) m_mutex = winsvc::CreateMutex(nullptr, 0, lockName().toUtf8().constData());
    if (m_mutex == nullptr) return Claim::Failed;
    const winsvc::DWORD waited = winsvc::WaitForSingleObject(m_mutex, 0);
    if (waited == winsvc::WAIT_OBJECT_0) {
        m_held = true;
        return Claim::First;
    }
    return waited == winsvc::WAIT_TIMEOUT ? Claim::OtherRunning : Claim::Failed;
}

bool SingleInstance::claimWithin(int milliseconds) {
    if (m_held) return true;
    if (m_mutex == nullptr) m_mutex = winsvc::CreateMutex(nullptr, 0, lockName().toUtf8().constData());
    if (m_mutex == nullptr) return false;
    m_held = winsvc::WaitForSingleObject(m_mutex, static_cast<winsvc::DWORD>(milliseconds)) ==
             winsvc::WAIT_OBJECT_0;
    return m_held;
}

void SingleInstance::release() {
    m_server.reset();
    if (m_mutex == nullptr) return;
    if (m_held) winsvc::ReleaseMutex(m_mutex);
    m_held = false;
    winsvc::CloseHandle(m_mutex);
    m_mutex = nullptr;
}

bool SingleInstance::listen() {
    const QString path = socketPath();
    // A socket left by a holder that died is in the way; the lock says it is ours now.
    QLocalServer::removeServer(path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        m_server.reset();
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::readHandOff);
    return true;
}

void SingleInstance::readHandOff() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto take = [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine().trimmed();
            socket->disconnectFromServer();
            if (line == SHOW_MESSAGE) emit showRequested();
            if (line == QUIT_MESSAGE) emit quitRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        // The line may have come with the connection.
        take();
    }
}

bool SingleInstance::signalRunningInstance(const char* message) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(HAND_OFF_WAIT_MS)) return false;
    socket.write(QByteArray(message) + '\n');
    if (!socket.waitForBytesWritten(HAND_OFF_WAIT_MS)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(HAND_OFF_WAIT_MS);
    return true;
}
