#include "vel/ipcmsghandlers/GetAdministratorPolicyHandler.h"

#include "vel/configuration/EapMethod.h"
#include "vel/connapi/ConnectionBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/reference/HandleOf.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetAdministratorPolicyHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    Policy policy = ConnApiEngine::activeConfiguration().policy();
    AdministratorPolicyRecord record;
    for (const Reference& element : policy.networkPolicy().allowedEapMethods().snapshot()) {
        // The reply's record has room for so many; the tray program lists no more.
        if (record.allowedEapMethods.size() == MAX_EAP_METHODS) break;
        record.allowedEapMethods.push_back(handleOf<EapMethod>(element.m).authenticationType());
    }
    UserControlPolicy user = policy.userControlPolicy();
    record.allowWired = user.allowWired();
    record.allowWireless = user.allowWireless();
    record.allowVpn = user.allowVpn();
    record.allowRunScript = user.allowRunScriptAfterConnect();
    ConnectionBodies::writeAdministratorPolicy(reply, record);
    return 0;
}

std::int32_t GetAdministratorPolicyHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_ADMINISTRATOR_POLICY_RESPONSE;
}
