#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

#include "gui/client/RequestTransport.h"

namespace tamsel::test {

// One message the tray program sent, read back from its frame.
struct SentMessage {
    QString method;
    QString sequenceNumber;
    // The method element's children after sequenceNumber, in written order, as (name, text).
    QList<QPair<QString, QString>> children;
    QByteArray payload;

    QStringList childNames() const;
    QString child(const QString& name) const;
};

// Takes the request writer's frames in place of the pipe while it lives, and reads them back. Only
// one may live at a time.
class RecordingTransport {
public:
    RecordingTransport();
    ~RecordingTransport();
    RecordingTransport(const RecordingTransport&) = delete;
    RecordingTransport& operator=(const RecordingTransport&) = delete;

    const QList<QByteArray>& frames() const;
    // Every frame as a message; a frame whose header does not match its payload fails the test.
    QList<SentMessage> messages() const;
    QStringList methods() const;
    void clear();

private:
    class Sink;
    std::shared_ptr<Sink> m_sink;
};

}  // namespace tamsel::test
