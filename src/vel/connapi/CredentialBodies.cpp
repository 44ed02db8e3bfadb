#include "vel/connapi/CredentialBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/Conversions.h"
#include "vel/xmlconnectionapi/ConnApiElement.h"

void CredentialBodies::writeUsernamePasswordRequest(const SoapBodyContext& context, const Ascii& groupName,
                                                    const Ascii& networkName, std::int32_t requestType,
                                                    const Ascii& usernamePrompt,
                                                    const Ascii& passwordPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElement::NETWORK_NAME, networkName);
    ConnApiWriter::text(message, ConnApiElement::PASSWORD_TYPE, RequestTypeToText(requestType));
    ConnApiWriter::textUnlessEmpty(message, ConnApiElement::USERNAME_PROMPT, usernamePrompt);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElement::PASSWORD_PROMPT, passwordPrompt);
}

PasswordAnswerRecord CredentialBodies::readUsernamePasswordResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    PasswordAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElement::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElement::NETWORK_NAME);
    const Ascii type = reader.optionalText(ConnApiElement::PASSWORD_TYPE);
    record.requestType =
        type.length() == 0 ? REQUEST_TYPE_USERNAME_AND_PASSWORD : TextToRequestType(type.text());
    record.username = reader.optionalText(ConnApiElement::USERNAME);
    record.password = reader.optionalText(ConnApiElement::PASSWORD);
    record.oldPassword = reader.optionalText(ConnApiElement::OLD_PASSWORD);
    return record;
}

void CredentialBodies::writeCertificateRequest(const SoapBodyContext& context, const Ascii& groupName,
                                               const Ascii& networkName,
                                               const std::vector<XmlCertificate>& certificates) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElement::NETWORK_NAME, networkName);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElement::CERTIFICATE_LIST);
    for (const XmlCertificate& certificate : certificates) {
        XmlParentNode entry = ConnApiWriter::element(list, ConnApiElement::CERTIFICATE);
        ConnApiWriter::hex(entry, ConnApiElement::CERTIFICATE_HASH, certificate.certificateHash());
        ConnApiWriter::text(entry, ConnApiElement::CERTIFICATE_NAME, certificate.certificateName());
        ConnApiWriter::text(entry, ConnApiElement::ISSUED_TO, certificate.issuedTo());
        ConnApiWriter::text(entry, ConnApiElement::ISSUED_BY, certificate.issuedBy());
        ConnApiWriter::text(entry, ConnApiElement::EXPIRY_DATE, certificate.expiryDate());
        ConnApiWriter::text(entry, ConnApiElement::SERIAL_NUMBER, certificate.serialNumber());
        ConnApiWriter::textUnlessEmpty(entry, ConnApiElement::SMART_CARD_NAME, certificate.smartCardName());
    }
}

CertificateAnswerRecord CredentialBodies::readCertificateResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    CertificateAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElement::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElement::NETWORK_NAME);
    record.certificateHash = reader.requiredHex(ConnApiElement::CERTIFICATE_HASH);
    record.pin = reader.optionalText(ConnApiElement::PIN);
    return record;
}

LogonPasswordAnswerRecord CredentialBodies::readLogonUsernamePasswordResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    LogonPasswordAnswerRecord record;
    record.username = reader.requiredText(ConnApiElement::USERNAME);
    record.domain = reader.requiredText(ConnApiElement::DOMAIN);
    record.password = reader.requiredText(ConnApiElement::PASSWORD);
    return record;
}

Ascii CredentialBodies::readLogonSmartCardPin(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredText(ConnApiElement::PIN);
}

void CredentialBodies::writeSmartCardPinRequest(const SoapBodyContext& context, const Ascii& groupName,
                                                const Ascii& networkName, const Ascii& smartCardName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElement::NETWORK_NAME, networkName);
    ConnApiWriter::text(message, ConnApiElement::SMART_CARD_NAME, smartCardName);
}

SmartCardPinAnswerRecord CredentialBodies::readSmartCardPinResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    SmartCardPinAnswerRecord record;
    record.groupName = reader.requiredText(ConnApiElement::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElement::NETWORK_NAME);
    record.pin = reader.requiredText(ConnApiElement::PIN);
    return record;
}
