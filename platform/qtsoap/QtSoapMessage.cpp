#include "platform/qtsoap/QtSoapMessage.h"

#include "vel/xmlconnectionapi/ConnApiConstants.h"

bool QtSoapMessage::setContent(const QByteArray& message) {
    m_document.clear();
    m_body = QDomElement();
    m_error.clear();

    QString error;
    int line = 0;
    int column = 0;
    if (!m_document.setContent(message, true, &error, &line, &column)) {
        m_error = QStringLiteral("%1 at line %2, column %3").arg(error).arg(line).arg(column);
        return false;
    }
    const QtSoapElement root(m_document.documentElement());
    if (root.name() != QLatin1String(ConnApiConstants::ENVELOPE_ELEMENT)) {
        m_error = QStringLiteral("The root element is not a SOAP envelope");
        return false;
    }
    // The body is found by its local name alone, as the service does it.
    for (QDomElement e = m_document.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        if (QtSoapElement(e).name() == QLatin1String(ConnApiConstants::BODY_ELEMENT)) {
            m_body = e;
            return true;
        }
    }
    m_error = QStringLiteral("The envelope has no body");
    return false;
}

QtSoapElement QtSoapMessage::method() const {
    return QtSoapElement(m_body.firstChildElement());
}

bool QtSoapMessage::isFault() const {
    return method().name() == QLatin1String(ConnApiConstants::FAULT_ELEMENT);
}

QtSoapElement QtSoapMessage::faultDetail() const {
    return isFault() ? method().child(QLatin1String(ConnApiConstants::FAULT_DETAIL_ELEMENT))
                     : QtSoapElement();
}
