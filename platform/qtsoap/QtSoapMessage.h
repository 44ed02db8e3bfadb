#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

#include "platform/qtsoap/QtSoapElement.h"

// One SOAP 1.1 message received from the service. The readers of the tray program call
// setContent first and leave their record as it was when it returns false.
class QtSoapMessage {
public:
    // Parses the envelope; true when it is well-formed XML with an Envelope root and a Body.
    bool setContent(const QByteArray& message);

    bool isValid() const { return !m_body.isNull(); }
    QString errorString() const { return m_error; }

    // The message element: the first element in the body.
    QtSoapElement method() const;
    bool isFault() const;
    // The detail of a fault, holding sequenceNumber, errorCode and errorString.
    QtSoapElement faultDetail() const;

private:
    QDomDocument m_document;
    QDomElement m_body;
    QString m_error;
};
