#include "vel/connapi/CredentialBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

void CredentialBodies::writeUsernamePasswordRequest(const SoapBodyContext& context, const Ascii& groupName,
                                                    const Ascii& networkName, std::int32_t requestType,
                                                    const Ascii& usernamePrompt,
                                                    const Ascii& passwordPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
    ConnApiWriter::text(message, ConnApiElements::PASSWORD_TYPE, RequestTypeToText(requestType));
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::USERNAME_PROMPT, usernamePrompt);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::PASSWORD_PROMPT, passwordPrompt);
}

PasswordAnswerRecord CredentialBodies::readUsernamePasswordResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    PasswordAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElements::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElements::NETWORK_NAME);
    const Ascii type = reader.optionalText(ConnApiElements::PASSWORD_TYPE);
    record.requestType =
        type.length() == 0 ? REQUEST_TYPE_USERNAME_AND_PASSWORD : TextToRequestType(type.text());
    record.username = reader.optionalText(ConnApiElements::USERNAME);
    record.password = reader.optionalText(ConnApiElements::PASSWORD);
    record.oldPassword = reader.optionalText(ConnApiElements::OLD_PASSWORD);
    return record;
}

void CredentialBodies::writeCertificateRequest(const SoapBodyContext& context, const Ascii& groupName,
                                               const Ascii& networkName,
                                               const std::vector<XmlCertificate>& certificates) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElements::CERTIFICATE_LIST);
    for (const XmlCertificate& certificate : certificates) {
        XmlParentNode entry = ConnApiWriter::element(list, ConnApiElements::CERTIFICATE);
        ConnApiWriter::hex(entry, ConnApiElements::CERTIFICATE_HASH, certificate.certificateHash());
        ConnApiWriter::text(entry, ConnApiElements::CERTIFICATE_NAME, certificate.certificateName());
        ConnApiWriter::text(entry, ConnApiElements::ISSUED_TO, certificate.issuedTo());
        ConnApiWriter::text(entry, ConnApiElements::ISSUED_BY, certificate.issuedBy());
        ConnApiWriter::text(entry, ConnApiElements::EXPIRY_DATE, certificate.expiryDate());
        ConnApiWriter::text(entry, ConnApiElements::SERIAL_NUMBER, certificate.serialNumber());
        ConnApiWriter::textUnlessEmpty(entry, ConnApiElements::SMART_CARD_NAME, certificate.smartCardName());
    }
}

CertificateAnswerRecord CredentialBodies::readCertificateResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    CertificateAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElements::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElements::NETWORK_NAME);
    record.certificateHash = reader.requiredHex(ConnApiElements::CERTIFICATE_HASH);
    record.pin = reader.optionalText(ConnApiElements::PIN);
    return record;
}

LogonPasswordAnswerRecord CredentialBodies::readLogonUsernamePasswordResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    LogonPasswordAnswerRecord record;
    record.username = reader.requiredText(ConnApiElements::USERNAME);
    record.domain = reader.requiredText(ConnApiElements::DOMAIN);
    record.password = reader.requiredText(ConnApiElements::PASSWORD);
    return record;
}

Ascii CredentialBodies::readLogonSmartCardPin(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredText(ConnApiElements::PIN);
}

void CredentialBodies::writeSmartCardPinRequest(const SoapBodyContext& context, const Ascii& groupName,
                                                const Ascii& networkName, const Ascii& smartCardName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
    ConnApiWriter::text(message, ConnApiElements::SMART_CARD_NAME, smartCardName);
}

SmartCardPinAnswerRecord CredentialBodies::readSmartCardPinResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    SmartCardPinAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElements::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElements::NETWORK_NAME);
    record.pin = reader.requiredText(ConnApiElements::PIN);
    return record;
}
