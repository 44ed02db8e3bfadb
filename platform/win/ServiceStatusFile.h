#pragma once
// The status a service last reported, kept in "run/<name>.status" below the program-data root so
// that another process (the installer) can query it.
#include <string>

#include "platform/win/ServiceControl.h"

namespace winsvc::statusfile {

std::string path(const std::string& serviceName);
// Replaces the file as a whole, so that a reader never sees half a status.
bool write(const std::string& serviceName, const SERVICE_STATUS& status, long pid);
// False when there is no status (the service never ran). *pid is 0 when the process that wrote
// the status has gone, even if its number has been given to another process since.
bool read(const std::string& serviceName, SERVICE_STATUS* status, long* pid);
void remove(const std::string& serviceName);
// True while the process exists and has not ended (a zombie has ended).
bool processAlive(long pid);

}  // namespace winsvc::statusfile
