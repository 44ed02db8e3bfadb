#include "vel/ipcmsghandlers/GetScanListHandler.h"

#include "vel/connapi/ConnectionBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/network/ScanList.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetScanListHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    NetworkGroupProxy active = ConnApiEngine::activeConfiguration().activeGroup();
    if (!active.exists()) return ConnApiConstants::ERROR_INTERNAL;
    std::vector<ScanEntryRecord> entries;
    if (active.networkGroup().allowUserToSeeScanlist()) {
        for (const Ssid& ssid : ScanList().entries()) entries.push_back(ScanEntryRecord::from(ssid));
    }
    ConnectionBodies::writeScanList(reply, entries);
    return 0;
}

std::int32_t GetScanListHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_SCAN_LIST_RESPONSE;
}
