#include "vel/ipcmsghandlers/RemoveGroupHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/FileIOException.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/UserChangeUndo.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t RemoveGroupHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const Ascii groupName = NetworkBodies::readGroupName(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    NetworkGroupProxy found = configuration.findGroup(groupName);
    if (!found.exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    const NetworkGroup group = found.networkGroup();
    const std::int32_t index = UserChangeUndo::indexOfGroup(configuration, group);
    try {
        configuration.removeGroup(group);
    } catch (const InvalidGroupException&) {
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    }
    try {
        ConnApiEngine::writeUserConfiguration();
    } catch (const FileIOException& e) {
        // The file still holds the group: so does the configuration.
        e.report();
        UserChangeUndo::placeGroup(configuration, group, index);
        return ConnApiConstants::ERROR_INTERNAL;
    }
    // The group's networks took their saved credentials with them.
    ConnApiEngine::writeInternalConfiguration();
    NetworkBodies::writeGroupName(reply, groupName);
    return 0;
}

std::int32_t RemoveGroupHandlerImpl::replyCommand() {
    return ConnApiMessages::REMOVE_GROUP_RESPONSE;
}
