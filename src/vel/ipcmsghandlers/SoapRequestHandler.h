#pragma once
// A request: its handler runs the precheck and its own handling, and answers on the asking
// connection only, with the reply it wrote or with a fault.
#include <cstdint>

#include "vel/ipcmsghandlers/SoapBodyHandler.h"
#include "vel/libxml2/XmlDocument.h"

class SoapRequestHandlerImpl : public SoapBodyHandlerImpl {
public:
    using SoapBodyHandlerImpl::SoapBodyHandlerImpl;

    // Builds the reply envelope, runs precheck and handle, and sends the reply or, for a code
    // other than 0, a fault in its place. Catches everything the handler raises: XML and
    // conversion errors are fault 9, anything else fault 8; a reply too long for a frame is
    // fault 8 too.
    void process() final;

    // 0, or the error code to answer with: 1 while no configuration is active.
    virtual std::int32_t precheck();
    // Writes the reply element into the reply context's body; 0 or an error code.
    virtual std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) = 0;
    // The number of the reply: the request's plus one.
    virtual std::int32_t replyCommand() = 0;

protected:
    XmlDocument m_reply;

private:
    std::int32_t run(const SoapBodyContext& reply);
    void writeFault(const SoapBodyContext& reply, std::int32_t code);
};
