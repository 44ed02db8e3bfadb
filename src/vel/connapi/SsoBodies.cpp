#include "vel/connapi/SsoBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

void SsoBodies::writeLogonPolicy(const SoapBodyContext& context, std::int32_t waitForConnectionSeconds,
                                 std::int32_t skipWaitSeconds, std::int32_t waitForPasswordChangeSeconds) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message,
                           ConnApiElements::MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_CONNECTION_BEFORE_LOGON,
                           waitForConnectionSeconds);
    ConnApiWriter::integer(
        message, ConnApiElements::NUMBER_OF_SECONDS_BEFORE_ALLOWING_USER_TO_SKIP_LOGON_WAIT, skipWaitSeconds);
    ConnApiWriter::integer(message, ConnApiElements::MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_PASSWORD_CHANGE,
                           waitForPasswordChangeSeconds);
}

std::int32_t SsoBodies::readLogonAttemptId(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredInt(ConnApiElements::LOGON_ATTEMPT_ID);
}

UserSessionActionsRecord SsoBodies::readUserSessionActions(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    UserSessionActionsRecord record;
    record.userTokenHandle = reader.requiredInt(ConnApiElements::USER_TOKEN_HANDLE);
    record.userLogonProcessId = reader.requiredInt(ConnApiElements::USER_LOGON_PROCESS_ID);
    return record;
}

ChangePasswordRecord SsoBodies::readChangePassword(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    ChangePasswordRecord record;
    record.attemptId = reader.requiredInt(ConnApiElements::CHANGE_PASSWORD_ATTEMPT_ID);
    record.username = reader.requiredText(ConnApiElements::USERNAME);
    record.domain = reader.requiredText(ConnApiElements::DOMAIN);
    record.password = reader.requiredText(ConnApiElements::PASSWORD);
    record.oldPassword = reader.requiredText(ConnApiElements::OLD_PASSWORD);
    return record;
}

void SsoBodies::writeLogonEvent(const SoapBodyContext& context, std::int32_t logonAttemptId,
                                const Ascii& eventType) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElements::LOGON_ATTEMPT_ID, logonAttemptId);
    ConnApiWriter::text(message, ConnApiElements::EVENT_TYPE, eventType);
}

void SsoBodies::writeLogonChangePasswordEvent(const SoapBodyContext& context, std::int32_t attemptId,
                                              const char* result) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::integer(message, ConnApiElements::CHANGE_PASSWORD_ATTEMPT_ID, attemptId);
    ConnApiWriter::text(message, ConnApiElements::CHANGE_PASSWORD_RESULT, result);
}
