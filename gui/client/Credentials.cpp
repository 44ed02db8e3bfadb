#include "gui/client/Credentials.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool Credentials::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    m_groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    m_networkName = method[QLatin1String(ConnApiElements::NETWORK_NAME)].text();
    m_passwordType = method[QLatin1String(ConnApiElements::PASSWORD_TYPE)].text();
    m_usernamePrompt = method[QLatin1String(ConnApiElements::USERNAME_PROMPT)].text();
    m_passwordPrompt = method[QLatin1String(ConnApiElements::PASSWORD_PROMPT)].text();
    return true;
}
