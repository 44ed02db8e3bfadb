#include "tests/system/ServiceEchoSubscriber.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/base/Root.h"
#include "runtime/lum/Log.h"
#include "vel/connection/Connection.h"
#include "vel/datagram/Datagram.h"

namespace {

bool isHold(const Datagram& datagram) {
    size_t length = strlen(ServiceEchoSubscriberImpl::HOLD_TEXT);
    return static_cast<size_t>(datagram.length()) == length &&
           memcmp(datagram.text(), ServiceEchoSubscriberImpl::HOLD_TEXT, length) == 0;
}

// Blocks until a writer opens the FIFO and sends a byte or closes it. Without the FIFO there is
// nothing to wait for; a test that never writes ends the service itself.
void waitForRelease() {
    std::string path = base::programDataRoot() + "/" + ServiceEchoSubscriberImpl::HOLD_FIFO;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        logError(0, "Echo: cannot open %s", path.c_str());
        return;
    }
    char byte;
    while (read(fd, &byte, 1) < 0 && errno == EINTR) {
    }
    close(fd);
}

}  // namespace

void ServiceEchoSubscriberImpl::connectionStateChanged(const Connection&, int) {}

void ServiceEchoSubscriberImpl::datagramReceived(const Connection& connection, const Datagram& datagram) {
    connection.send(datagram);
    if (isHold(datagram)) waitForRelease();
}

DatagramSubscriberInterface* ServiceEchoSubscriberImpl::create() {
    return new ServiceEchoSubscriberImpl;
}
