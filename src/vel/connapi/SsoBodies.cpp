#include "vel/connapi/SsoBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/xmlconnectionapi/ConnApiElement.h"

void SsoBodies::writeLogonPolicy(const SoapBodyContext& context, std::int32_t waitForConnectionSeconds,
                                 std::int32_t skipWaitSeconds, std::int32_t waitForPasswordChangeSeconds) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElement::MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_CONNECTION_BEFORE_LOGON,
                           waitForConnectionSeconds);
    ConnApiWriter::integer(message, ConnApiElement::NUMBER_OF_SECONDS_BEFORE_ALLOWING_USER_TO_SKIP_LOGON_WAIT,
                           skipWaitSeconds);
    ConnApiWriter::integer(message, ConnApiElement::MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_PASSWORD_CHANGE,
                           waitForPasswordChangeSeconds);
}

std::int32_t SsoBodies::readLogonAttemptId(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredInt(ConnApiElement::LOGON_ATTEMPT_ID);
}

UserSessionActionsRecord SsoBodies::readUserSessionActions(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    UserSessionActionsRecord record;
    record.userTokenHandle = reader.requiredInt(ConnApiElement::USER_TOKEN_HANDLE);
    record.userLogonProcessId = reader.requiredInt(ConnApiElement::USER_LOGON_PROCESS_ID);
    return record;
}

ChangePasswordRecord SsoBodies::readChangePassword(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    ChangePasswordRecord record;
    record.attemptId = reader.requiredInt(ConnApiElement::CHANGE_PASSWORD_ATTEMPT_ID);
    record.username = reader.requiredText(ConnApiElement::USERNAME);
    record.domain = reader.requiredText(ConnApiElement::DOMAIN);
    record.password = reader.requiredText(ConnApiElement::PASSWORD);
    record.oldPassword = reader.requiredText(ConnApiElement::OLD_PASSWORD);
    return record;
}

void SsoBodies::writeLogonEvent(const SoapBodyContext& context, std::int32_t logonAttemptId,
                                const Ascii& eventType) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElement::LOGON_ATTEMPT_ID, logonAttemptId);
    ConnApiWriter::text(message, ConnApiElement::EVENT_TYPE, eventType);
}

void SsoBodies::writeLogonChangePasswordEvent(const SoapBodyContext& context, std::int32_t attemptId,
                                              const char* result) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElement::CHANGE_PASSWORD_ATTEMPT_ID, attemptId);
    ConnApiWriter::text(message, ConnApiElement::CHANGE_PASSWORD_RESULT, result);
}
