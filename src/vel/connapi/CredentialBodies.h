#pragma once
// The service's credential requests to the user and the logon client, and their answers.
#include <cstdint>
#include <vector>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/connapi/XmlCertificate.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

struct PasswordAnswerRecord {
    Ascii groupName;
    Ascii networkName;
    // RequestTypeToText's values; 5 (usernameAndPassword) when the answer names none.
    std::int32_t requestType = 5;
    Ascii username;
    Ascii password;
    Ascii oldPassword;
};

struct CertificateAnswerRecord {
    Ascii groupName;
    Ascii networkName;
    ByteArray certificateHash;
    Ascii pin;
};

struct SmartCardPinAnswerRecord {
    Ascii groupName;
    Ascii networkName;
    Ascii pin;
};

struct LogonPasswordAnswerRecord {
    Ascii username;
    Ascii domain;
    Ascii password;
};

class CredentialBodies {
public:
    static constexpr std::int32_t REQUEST_TYPE_USERNAME_AND_PASSWORD = 5;

    // getUsernameAndPasswordRequest: the prompts only when not empty.
    static void writeUsernamePasswordRequest(const SoapBodyContext& context, const Ascii& groupName,
                                             const Ascii& networkName, std::int32_t requestType,
                                             const Ascii& usernamePrompt, const Ascii& passwordPrompt);
    static PasswordAnswerRecord readUsernamePasswordResponse(const SharedXmlNode& element);
    // getCertificateRequest: every record in the order given; smartCardName only when set.
    static void writeCertificateRequest(const SoapBodyContext& context, const Ascii& groupName,
                                        const Ascii& networkName,
                                        const std::vector<XmlCertificate>& certificates);
    static CertificateAnswerRecord readCertificateResponse(const SharedXmlNode& element);
    static LogonPasswordAnswerRecord readLogonUsernamePasswordResponse(const SharedXmlNode& element);
    // getLogonSmartCardPinResponse.
    static Ascii readLogonSmartCardPin(const SharedXmlNode& element);
    static void writeSmartCardPinRequest(const SoapBodyContext& context, const Ascii& groupName,
                                         const Ascii& networkName, const Ascii& smartCardName);
    static SmartCardPinAnswerRecord readSmartCardPinResponse(const SharedXmlNode& element);
};
