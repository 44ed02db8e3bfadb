#include "vel/ipcmsghandlers/SoapResponseHandler.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/ipcmsghandlers/ConnApiLog.h"

void SoapResponseHandlerImpl::process() {
    ConnApiLog::guard(ConnApiCommandToText(m_context.command()), ConnApiLog::AS_INTERNAL_ERROR,
                      [this] { handleResponse(); });
}
