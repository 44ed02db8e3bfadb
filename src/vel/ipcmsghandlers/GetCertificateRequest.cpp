#include "vel/ipcmsghandlers/GetCertificateRequest.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/connapi/XmlCertificate.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void GetCertificateRequestImpl::writeBody(SoapBodyContext& context) {
    std::vector<XmlCertificate> offered;
    for (const CertificateRecord& certificate : m_certificates) {
        if (!certificate.usable) continue;
        XmlCertificate entry = XmlCertificate::create();
        entry.setCertificateHash(certificate.hash);
        entry.setCertificateName(certificate.name);
        entry.setIssuedTo(certificate.issuedTo);
        entry.setIssuedBy(certificate.issuedBy);
        entry.setExpiryDate(certificate.expiryDate);
        entry.setSerialNumber(certificate.serialNumber);
        if (certificate.storeType == CertificateRecord::STORE_SMART_CARD)
            entry.setSmartCardName(certificate.storeName);
        offered.push_back(entry);
    }
    CredentialBodies::writeCertificateRequest(context, m_groupName, m_network.networkName(), offered);
}

std::int32_t GetCertificateRequestImpl::command() {
    return ConnApiMessages::GET_CERTIFICATE_REQUEST;
}
