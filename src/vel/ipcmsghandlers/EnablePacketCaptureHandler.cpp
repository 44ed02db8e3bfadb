#include "vel/ipcmsghandlers/EnablePacketCaptureHandler.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t EnablePacketCaptureHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    std::int32_t started = 0;
    for (const ConnApiAdapter& adapter : ConnApiEngine::adapters()) {
        if (adapter.enablePacketCapture()) ++started;
    }
    if (started == 0) {
        logInfo(0, "No adapter started a packet capture");
        return ConnApiConstants::ERROR_INTERNAL;
    }
    return 0;
}

std::int32_t EnablePacketCaptureHandlerImpl::replyCommand() {
    return ConnApiMessages::ENABLE_PACKET_CAPTURE_RESPONSE;
}
