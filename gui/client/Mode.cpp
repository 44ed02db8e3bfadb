#include "gui/client/Mode.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool Mode::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    // The service leaves out the group and network in automatic mode; a missing one reads empty,
    // so nothing of an earlier reply survives.
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    m_groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    m_networkName = method[QLatin1String(ConnApiElements::NETWORK_NAME)].text();
    m_connectionMode = method[QLatin1String(ConnApiElements::CONNECTION_MODE)].text();
    return true;
}
