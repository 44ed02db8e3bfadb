#include "vel/ipcmsghandlers/ConnApiLog.h"

#include <exception>

#include "runtime/lum/Log.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/ExceptionConstants.h"
#include "vel/exception/XmlException.h"

namespace {

template <typename E>
void logUnreadable(const E& e, ConnApiLog::Unreadable how) {
    if (how == ConnApiLog::REPORT) e.report();
    if (how == ConnApiLog::AS_INTERNAL_ERROR) ConnApiLog::unreadable(e);
}

}  // namespace

ConnApiLog::Raised ConnApiLog::guard(const char* where, Unreadable how, const std::function<void()>& work) {
    try {
        work();
        return Raised::NOTHING;
    } catch (const XmlException& e) {
        logUnreadable(e, how);
        return Raised::UNREADABLE;
    } catch (const ConversionException& e) {
        logUnreadable(e, how);
        return Raised::UNREADABLE;
    } catch (const BaseException& e) {
        e.report();
    } catch (const std::exception& e) {
        logError(0, "Exception in %s: %s", where, e.what());
    } catch (...) {
        logError(0, "Unexpected exception in %s", where);
    }
    return Raised::OTHER;
}

void ConnApiLog::unreadable(const XmlException& e) {
    logInternalError(INTERNAL_ERROR_UNREADABLE_XML);
    logDebug("%s", e.function().text());
}

void ConnApiLog::unreadable(const ConversionException& e) {
    logInternalError(INTERNAL_ERROR_UNREADABLE_VALUE);
    logDebug("Error in configuration xml: %s", e.function().text());
}
