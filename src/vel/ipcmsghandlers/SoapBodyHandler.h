#pragma once
// A handler of one message element of a received envelope: made for that element, run once and
// released.
#include "vel/connapi/SoapBodyContext.h"
#include "vel/connection/Connection.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class SoapBodyHandlerImpl : public ReferenceImpl {
public:
    SoapBodyHandlerImpl(const Connection& connection, const SoapBodyContext& context)
        : m_connection(connection), m_context(context) {}

    // Handles the element; raises nothing.
    virtual void process() = 0;

protected:
    // Where the request came from, and so where its reply goes.
    Connection m_connection;
    SoapBodyContext m_context;
};

class SoapBodyHandler : public Reference {
public:
    // Takes over the new handler's reference.
    explicit SoapBodyHandler(SoapBodyHandlerImpl* p);

    void process() const { impl()->process(); }

    SoapBodyHandlerImpl* impl() const {
        return static_cast<SoapBodyHandlerImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
