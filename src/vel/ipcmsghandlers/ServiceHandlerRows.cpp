// The service's handler table. Each handler lands with its row; a row names the command, the kind
// of handler, its factory and its arrival line exactly as logged.
#include "vel/ipcmsghandlers/HandlerTable.h"
#include "vel/ipcmsghandlers/UnknownRequestHandler.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

constexpr HandlerRow SERVICE_HANDLER_ROWS[] = {
    {ConnApiMessages::UNKNOWN_REQUEST, HandlerKind::REQUEST, &makeHandler<UnknownRequestHandlerImpl>,
     nullptr},
};

}  // namespace

const HandlerTable& HandlerTable::service() {
    static const HandlerTable table(SERVICE_HANDLER_ROWS);
    return table;
}
