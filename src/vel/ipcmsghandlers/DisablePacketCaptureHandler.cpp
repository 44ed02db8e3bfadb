#include "vel/ipcmsghandlers/DisablePacketCaptureHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t DisablePacketCaptureHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    for (const ConnApiAdapter& adapter : ConnApiEngine::adapters()) adapter.disablePacketCapture();
    return 0;
}

std::int32_t DisablePacketCaptureHandlerImpl::replyCommand() {
    return ConnApiMessages::DISABLE_PACKET_CAPTURE_RESPONSE;
}
