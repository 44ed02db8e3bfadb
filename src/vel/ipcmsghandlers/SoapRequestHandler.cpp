#include "vel/ipcmsghandlers/SoapRequestHandler.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/SoapFault.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/BaseException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/ConnApiLog.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

std::int32_t SoapRequestHandlerImpl::precheck() {
    return ConnApiEngine::configurationExists() ? 0 : ConnApiConstants::ERROR_NO_CONFIGURATION;
}

std::int32_t SoapRequestHandlerImpl::run(const SoapBodyContext& reply) {
    std::int32_t code = 0;
    switch (ConnApiLog::guard(ConnApiCommandToText(m_context.command()), ConnApiLog::REPORT, [&] {
        code = precheck();
        if (code == 0) code = handle(m_context, reply);
    })) {
        case ConnApiLog::Raised::NOTHING:
            return code;
        case ConnApiLog::Raised::UNREADABLE:
            return ConnApiConstants::ERROR_INVALID_XML;
        case ConnApiLog::Raised::OTHER:
            break;
    }
    return ConnApiConstants::ERROR_INTERNAL;
}

void SoapRequestHandlerImpl::writeFault(const SoapBodyContext& reply, std::int32_t code) {
    // What the handler had written before it failed is not sent.
    reply.body().removeChildren();
    xmlWriteFault(reply.body(), SoapFaultRecord{reply.command(), reply.sequenceNumber(), code, Ascii("")});
}

void SoapRequestHandlerImpl::process() {
    try {
        SoapBodyContext reply(replyCommand(), m_context.sequenceNumber(),
                              ConnApiMessage::writeEnvelope(m_reply));
        std::int32_t code = run(reply);
        Datagram datagram;
        if (code == 0) {
            try {
                datagram = Datagram::fromByteArray(m_reply.dump());
            } catch (const BaseException& e) {
                e.report();
            }
            if (datagram.isNull() || datagram.length() > ConnApiFrame::MAX_MESSAGE_LENGTH) {
                logError(0, "Reply %s does not fit a frame; answered with a fault",
                         ConnApiCommandToText(reply.command()));
                code = ConnApiConstants::ERROR_INTERNAL;
            }
        }
        if (code != 0) {
            writeFault(reply, code);
            datagram = Datagram::fromByteArray(m_reply.dump());
        }
        m_connection.send(datagram);
    } catch (const BaseException& e) {
        e.report();
    }
}
