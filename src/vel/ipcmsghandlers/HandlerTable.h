#pragma once
// Which handler serves which message element: one row per command the service handles, with the
// kind of handler, how it is made and the line logged when a message of it arrives. A command
// without a row is served by UnknownRequestHandlerImpl (fault 10).
#include <cstdint>
#include <span>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/connection/Connection.h"
#include "vel/ipcmsghandlers/SoapBodyHandler.h"

enum class HandlerKind {
    // A SoapRequestHandlerImpl: prechecked, answered with a reply or a fault.
    REQUEST,
    // A SoapResponseHandlerImpl: an answer to the service's own request, never answered.
    RESPONSE,
};

using HandlerFactory = SoapBodyHandlerImpl* (*)(const Connection& connection, const SoapBodyContext& context);

struct HandlerRow {
    std::int32_t command;
    HandlerKind kind;
    HandlerFactory factory;
    // Logged at information level as the handler is made; null for none.
    const char* arrivalLine;
};

template <class Handler>
SoapBodyHandlerImpl* makeHandler(const Connection& connection, const SoapBodyContext& context) {
    return new Handler(connection, context);
}

class HandlerTable {
public:
    // Checks that no command has two rows and that every row can make its handler.
    explicit HandlerTable(std::span<const HandlerRow> rows);

    // The service's table (ServiceHandlerRows.cpp).
    static const HandlerTable& service();

    // The row of the command, or null.
    const HandlerRow* find(std::int32_t command) const;
    // Logs the arrival line of the command's row and makes its handler; UnknownRequestHandlerImpl
    // for a command without a row.
    SoapBodyHandler create(const Connection& connection, const SoapBodyContext& context) const;

    std::span<const HandlerRow> rows() const { return m_rows; }

private:
    std::span<const HandlerRow> m_rows;
};
