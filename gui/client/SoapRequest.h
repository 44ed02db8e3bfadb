#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The envelope around every message the tray program sends, built once.
const QByteArray& soapEnvelopeHead();
const QByteArray& soapEnvelopeTail();

// Writes one message to the service as text, without an XML library, and sends it as one frame.
// Built, completed and sent by one caller on the GUI thread, then discarded.
class SoapRequest {
public:
    // A request of the tray program's own: numbered from the process-wide counter.
    explicit SoapRequest(const QString& method);
    // An answer to one of the service's requests: carries that request's number unchanged and
    // leaves the counter alone.
    SoapRequest(const QString& method, const QString& sequenceNumber);

    void addRequestParam(const QString& name, const QString& value);
    void openElement(const QString& name);
    void closeElement(const QString& name);
    void endRequest();
    // Frames and sends the text; a lost pipe is logged and the request dropped.
    void sendRequest() const;

    const QByteArray& text() const { return m_text; }
    const QByteArray& method() const { return m_method; }

    static QByteArray xmlEscape(const QByteArray& bytes);
    // The text as a dump shows it: the values of passwords, PINs and keys replaced by asterisks.
    static QByteArray maskedForLog(const QByteArray& text);

    // A request of the tray program's own with these (name, value) children, ended and sent.
    static void send(const QString& method, const QList<QPair<QString, QString>>& children = {});

private:
    void begin(const QByteArray& sequenceNumber);

    QByteArray m_text;
    QByteArray m_method;
};
