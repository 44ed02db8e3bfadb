#include "runtime/multithread/RuntimeSignal.h"

#include "ostrum.h"
#include "runtime/lum/Log.h"
#include "travik.h"
#include "vel/exception/NvoException.h"

RuntimeSignal::~RuntimeSignal() {
    if (m_signal != nullptr) close();
}

void RuntimeSignal::open() {
    int rc = _slSignalCreate(__FILE__, __LINE__, &m_signal);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "slSignalOpen", rc);
}

void RuntimeSignal::close() {
    int rc = _osSignalDestroy(__FILE__, __LINE__, &m_signal);
    if (rc != OS_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 9);
        logError(0, "function '%s' => %d{error}", "osSignalClose", rc);
    }
}

void RuntimeSignal::set() {
    int rc = _osSignalSet(__FILE__, __LINE__, m_signal);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osSignalSet", rc);
}

void RuntimeSignal::wait() {
    int rc = _osSignalWait(__FILE__, __LINE__, m_signal);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osSignalWait", rc);
}
