#include "Certificate.h"

#include "QtSoapMessage.h"

bool Certificate::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QStringLiteral("sequenceNumber")].text();
    m_groupName = method[QStringLiteral("groupName")].text();
    m_networkName = method[QStringLiteral("networkName")].text();
    m_entries.clear();
    const QtSoapElement list = method[QStringLiteral("certificateList")];
    if (!list.isArray()) return true;
    for (const QtSoapElement& item : list.items()) {
        CertificateEntry entry;
        entry.certificateHash = item[QStringLiteral("certificateHash")].text();
        entry.certificateName = item[QStringLiteral("certificateName")].text();
        entry.issuedTo = item[QStringLiteral("issuedTo")].text();
        entry.issuedBy = item[QStringLiteral("issuedBy")].text();
        entry.expiryDate = item[QStringLiteral("expiryDate")].text();
        entry.serialNumber = item[QStringLiteral("serialNumber")].text();
        entry.smartCardName = item[QStringLiteral("smartCardName")].text();
        m_entries.append(entry);
    }
    return true;
}
