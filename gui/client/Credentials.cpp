#include "Credentials.h"

#include "QtSoapMessage.h"

bool Credentials::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QStringLiteral("sequenceNumber")].text();
    m_groupName = method[QStringLiteral("groupName")].text();
    m_networkName = method[QStringLiteral("networkName")].text();
    m_passwordType = method[QStringLiteral("passwordType")].text();
    m_usernamePrompt = method[QStringLiteral("usernamePrompt")].text();
    m_passwordPrompt = method[QStringLiteral("passwordPrompt")].text();
    return true;
}
