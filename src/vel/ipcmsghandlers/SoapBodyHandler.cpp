#include "vel/ipcmsghandlers/SoapBodyHandler.h"

#include "runtime/lum/Assert.h"

SoapBodyHandler::SoapBodyHandler(SoapBodyHandlerImpl* p) {
    if (!LUM_ASSERT_TEXT(p != nullptr, "p")) return;
    // The creator's reference moves into the handle.
    m = p;
}
