#include "service/RunEngine.h"

#include "runtime/lum/Log.h"
#include "service/ServiceComposition.h"
#include "service/ServiceConstants.h"
#include "service/ServiceEventQueueLoopInitializer.h"
#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/exception/BaseException.h"
#include "vel/libxml2/XmlLibrary.h"

namespace {

DatagramSubscriberFactory g_subscriberFactory = nullptr;

void reportFatal(const BaseException& e) {
    e.report();
    logError(0, "Fatal Shutdown: %s", ServiceConstants::VERSION);
}

}  // namespace

void setDatagramSubscriberFactory(DatagramSubscriberFactory factory) {
    g_subscriberFactory = factory;
}

int runEngine() {
    int result = 0;
    xmlInit();
    try {
        ServiceEventQueueLoopInitializerImpl initializer;
        {
            ServiceComposition composition(initializer, g_subscriberFactory);
            try {
                composition.startUp();
                if (!composition.waitForQuit()) {
                    logError(0, "Fatal Shutdown: %s", ServiceConstants::VERSION);
                    result = 1;
                }
            } catch (const BaseException& e) {
                reportFatal(e);
                result = 1;
            }
            composition.shutDown();
        }
    } catch (const BaseException& e) {
        reportFatal(e);
        result = 1;
    }
    // Enciphered configuration content and stored credentials may use the key holder up to here.
    CredentialKeyHolder::destroy();
    xmlCleanup();
    return result;
}
