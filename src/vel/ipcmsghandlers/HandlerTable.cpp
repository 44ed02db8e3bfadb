#include "vel/ipcmsghandlers/HandlerTable.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/ipcmsghandlers/UnknownRequestHandler.h"

HandlerTable::HandlerTable(std::span<const HandlerRow> rows) : m_rows(rows) {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        LUM_ASSERT_TEXT(m_rows[i].factory != nullptr, "row.factory");
        for (std::size_t j = 0; j < i; ++j)
            LUM_ASSERT_TEXT(m_rows[j].command != m_rows[i].command, "one row per command");
    }
}

const HandlerRow* HandlerTable::find(std::int32_t command) const {
    for (const HandlerRow& row : m_rows) {
        if (row.command == command) return &row;
    }
    return nullptr;
}

SoapBodyHandler HandlerTable::create(const Connection& connection, const SoapBodyContext& context) const {
    const HandlerRow* row = find(context.command());
    if (row == nullptr || row->factory == nullptr)
        return SoapBodyHandler(makeHandler<UnknownRequestHandlerImpl>(connection, context));
    if (row->arrivalLine != nullptr) logInfo(0, "%s", row->arrivalLine);
    return SoapBodyHandler(row->factory(connection, context));
}
