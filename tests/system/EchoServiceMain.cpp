// The service program with one more subscriber on its pipe, which echoes every datagram: the
// service's own run body, queues, timers, connection server and shut-down, answering on "vel".
#include "runtime/lum/CrashHandler.h"
#include "service/RunEngine.h"
#include "service/win32/ServiceModes.h"
#include "tests/system/ServiceEchoSubscriber.h"

int main(int argc, char** argv) {
    installCrashHandler();
    setDatagramSubscriberFactory(&ServiceEchoSubscriberImpl::create);
    return runServiceMode(argc, argv);
}
