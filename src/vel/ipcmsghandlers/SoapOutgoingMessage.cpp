#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

#include "runtime/lum/Assert.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/exception/ConnectionApiException.h"
#include "vel/ipcmsghandlers/LocationErrorEvent.h"
#include "vel/ipcmsghandlers/LocationResponseEvent.h"
#include "vel/ipcmsghandlers/LogonEvent.h"
#include "vel/ipcmsghandlers/VpnStateEvent.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace {

// Used on the engine thread only.
std::int32_t g_sequenceCounter = 0;

}  // namespace

std::int32_t SoapOutgoingMessageImpl::nextSequenceNumber() {
    return ++g_sequenceCounter;
}

std::int32_t SoapOutgoingMessageImpl::lastSequenceNumber() {
    return g_sequenceCounter;
}

void SoapOutgoingMessageImpl::afterSend(const Datagram&) {}

void SoapOutgoingMessageImpl::send() {
    try {
        SharedXmlNode body = ConnApiMessage::writeEnvelope(m_document);
        SoapBodyContext context(command(), nextSequenceNumber(), body);
        writeBody(context);
        Datagram datagram = Datagram::fromByteArray(m_document.dump());
        if (datagram.length() > ConnApiFrame::MAX_MESSAGE_LENGTH)
            ConnectionApiException::raise(__FILE__, __LINE__, "SoapOutgoingMessage::send",
                                          "Message too long");
        ClientCommunication::Instance().sendToAll(datagram);
        afterSend(datagram);
    } catch (const BaseException& e) {
        e.report();
    }
}

SoapOutgoingMessage::SoapOutgoingMessage(SoapOutgoingMessageImpl* p) {
    if (!LUM_ASSERT_TEXT(p != nullptr, "p")) return;
    m = p;
}

void SoapOutgoingMessage::send() const {
    impl()->send();
}

SoapOutgoingMessage SoapOutgoingMessage::createLocationResponseEvent(const LocationResponse& response) {
    return SoapOutgoingMessage(new LocationResponseEventImpl(response));
}

SoapOutgoingMessage SoapOutgoingMessage::createLocationErrorEvent(std::int32_t requestNumber,
                                                                  std::int32_t errorCode) {
    return SoapOutgoingMessage(new LocationErrorEventImpl(requestNumber, errorCode));
}

SoapOutgoingMessage sendLogonEvent(std::int32_t logonAttemptId, const Ascii& eventType) {
    return SoapOutgoingMessage(new LogonEventImpl(logonAttemptId, eventType));
}

SoapOutgoingMessage sendVpnStateEvent(std::int32_t state, std::int32_t status) {
    return SoapOutgoingMessage(new VpnStateEventImpl(state, status));
}
