#include "vel/ipcmsghandlers/AddGroupHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/FileIOException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t AddGroupHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const Ascii groupName = NetworkBodies::readGroupName(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    if (configuration.findGroup(groupName).exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    NetworkGroup group = NetworkGroup::create(groupName);
    configuration.addGroup(group);
    try {
        ConnApiEngine::writeUserConfiguration();
    } catch (const FileIOException& e) {
        // A group the file does not hold would be gone after the next start.
        e.report();
        configuration.removeGroup(group);
        return ConnApiConstants::ERROR_INTERNAL;
    }
    NetworkBodies::writeGroupName(reply, groupName);
    return 0;
}

std::int32_t AddGroupHandlerImpl::replyCommand() {
    return ConnApiMessages::ADD_GROUP_RESPONSE;
}
