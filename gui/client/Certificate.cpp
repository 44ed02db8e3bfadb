#include "gui/client/Certificate.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool Certificate::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    m_groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    m_networkName = method[QLatin1String(ConnApiElements::NETWORK_NAME)].text();
    m_entries.clear();
    const QtSoapElement list = method[QLatin1String(ConnApiElements::CERTIFICATE_LIST)];
    if (!list.isArray()) return true;
    for (const QtSoapElement& item : list.items()) {
        CertificateEntry entry;
        entry.certificateHash = item[QLatin1String(ConnApiElements::CERTIFICATE_HASH)].text();
        entry.certificateName = item[QLatin1String(ConnApiElements::CERTIFICATE_NAME)].text();
        entry.issuedTo = item[QLatin1String(ConnApiElements::ISSUED_TO)].text();
        entry.issuedBy = item[QLatin1String(ConnApiElements::ISSUED_BY)].text();
        entry.expiryDate = item[QLatin1String(ConnApiElements::EXPIRY_DATE)].text();
        entry.serialNumber = item[QLatin1String(ConnApiElements::SERIAL_NUMBER)].text();
        entry.smartCardName = item[QLatin1String(ConnApiElements::SMART_CARD_NAME)].text();
        m_entries.append(entry);
    }
    return true;
}
