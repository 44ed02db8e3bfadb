#include "vel/ipcmsghandlers/AdapterLocationEventSender.h"

#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

void AdapterLocationEventSender::locationResponse(const LocationResponse& response) {
    SoapOutgoingMessage::createLocationResponseEvent(response).send();
}

void AdapterLocationEventSender::locationError(std::int32_t sequenceNumber, std::int32_t errorCode) {
    SoapOutgoingMessage::createLocationErrorEvent(sequenceNumber, errorCode).send();
}
