#include "Mode.h"

#include "QtSoapMessage.h"

bool Mode::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    // The service leaves out the group and network in automatic mode; a missing one reads empty,
    // so nothing of an earlier reply survives.
    m_sequenceNumber = method[QStringLiteral("sequenceNumber")].text();
    m_groupName = method[QStringLiteral("groupName")].text();
    m_networkName = method[QStringLiteral("networkName")].text();
    m_connectionMode = method[QStringLiteral("connectionMode")].text();
    return true;
}
