#include "service/RunEngine.h"

#include <cstdlib>
#include <optional>

#include "platform/base/Process.h"
#include "runtime/lum/Log.h"
#include "service/OneTimeTimer.h"
#include "service/ServiceConstants.h"
#include "service/ServiceEventQueueLoopInitializer.h"
#include "service/ServiceQuit.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/connection/ConnectionServer.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/exception/BaseException.h"
#include "vel/libxml2/XmlLibrary.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/network/ScanList.h"
#include "vel/timer/TimerList.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

DatagramSubscriberFactory g_subscriberFactory = nullptr;

// Everything runEngine creates, so that a failure half-way through start-up still tears down
// what exists, in the same order as a normal end.
class ServiceComposition {
public:
    explicit ServiceComposition(ServiceEventQueueLoopInitializerImpl& initializer)
        : m_initializer(initializer),
          m_initializerInterface(static_cast<EventQueueLoopInitializerInterface*>(&initializer)) {}

    void startUp() {
        // The scan list comes first and goes last: port managers write it from the engine thread
        // for as long as that thread runs.
        m_scanList = ScanList::create();
        m_timerList = TimerList::Create();
        m_eventQueue = EventQueue::Create(&m_initializer);
        m_workerQueue = WorkerQueue::Create();
        m_altQueue = AltEventQueue::Create();
        m_oneTimeTimer = OneTimeTimer::create(oneTimeTimerSeconds());

        m_initializer.waitForInit();

        m_oneTimeTimer.start();
        m_timerStarted = true;
        m_timerList.startTicking();
        m_ticking = true;

        m_forwarder.createEventQueueForwarder();
        m_connectionServer.create(ConnApiConstants::PIPE_NAME, ConnectionConstants::PIPE_INSTANCES,
                                  m_forwarder);
        if (g_subscriberFactory != nullptr) {
            m_subscriber = g_subscriberFactory();
            m_forwarder.addSubscriber(m_subscriber);
        }
    }

    // False when the connection server did not start: no tray program could ever reach the
    // service, and nothing could ask it to stop but a signal.
    bool waitForQuit() {
        try {
            if (!m_connectionServer.start()) return false;
            QuitSignal quit = QuitSignal::Create();
            // A stop that came while the service was starting wakes the wait at once.
            ServiceQuit::signalCreated();
            struct Released {
                ~Released() { ServiceQuit::signalReleasing(); }
            } released;
            QuitSignal::wait();
        } catch (const BaseException& e) {
            e.report();
        }
        return true;
    }

    void shutDown() {
        if (m_ticking) {
            m_ticking = false;
            m_timerList.stopTicking();
        }
        if (m_timerStarted) {
            m_timerStarted = false;
            m_oneTimeTimer.cancel();
        }
        stopQueue(m_eventQueue);
        if (m_subscriber != nullptr) {
            m_forwarder.removeSubscriber(m_subscriber);
            m_subscriber->release();
            m_subscriber = nullptr;
        }
        if (!m_connectionServer.isNull() && !m_serverCancelled) {
            m_serverCancelled = true;
            m_connectionServer.cancel();
        }
        stopQueue(m_altQueue);
        stopQueue(m_workerQueue);
        m_connectionServer.reset();
        m_forwarder.reset();
        m_oneTimeTimer.reset();
        m_altQueue.reset();
        m_workerQueue.reset();
        m_eventQueue.reset();
        m_timerList.reset();
        m_scanList.reset();
        m_initializerInterface.reset();
    }

private:
    template <typename Queue>
    static void stopQueue(const Queue& queue) {
        if (!queue.isNull()) queue.stop();
    }

    // The one-time timer's length; TAMSEL_TEST_ONE_TIME_TIMER_S shortens it for the system tests
    // of the installer, which would otherwise wait 25 seconds for RUNNING.
    static int oneTimeTimerSeconds() {
        std::string text = base::environmentVariable("TAMSEL_TEST_ONE_TIME_TIMER_S");
        if (text.empty()) return ServiceConstants::ONE_TIME_TIMER_S;
        int seconds = atoi(text.c_str());
        return seconds >= 0 && seconds <= ServiceConstants::ONE_TIME_TIMER_S
                   ? seconds
                   : ServiceConstants::ONE_TIME_TIMER_S;
    }

    ServiceEventQueueLoopInitializerImpl& m_initializer;
    Reference m_initializerInterface;
    // Empty until created: a ScanList made by default binds to the existing list.
    std::optional<ScanList> m_scanList;
    TimerList m_timerList;
    EventQueue m_eventQueue;
    WorkerQueue m_workerQueue;
    AltEventQueue m_altQueue;
    OneTimeTimer m_oneTimeTimer;
    DatagramForwarder m_forwarder;
    ConnectionServer m_connectionServer;
    DatagramSubscriberInterface* m_subscriber = nullptr;
    bool m_timerStarted = false;
    bool m_serverCancelled = false;
    bool m_ticking = false;
};

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
            ServiceComposition composition(initializer);
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
