#include "service/LogonServiceStatus.h"

#include "service/win32/ServiceStatus.h"

void LogonServiceStatusImpl::reportServiceRunning() {
    ::reportServiceRunning();
}
