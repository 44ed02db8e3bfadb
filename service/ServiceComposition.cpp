#include "service/ServiceComposition.h"

#include <array>
#include <cstdlib>
#include <string>

#include "platform/base/Process.h"
#include "service/ServiceConstants.h"
#include "service/ServiceQuit.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/exception/BaseException.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

using C = ServiceComposition;
using Row = ServiceCompositionRow;
constexpr int NONE = Row::NONE;

}  // namespace

// One row per member, in the order of creation. The scan list comes first and goes last: port
// managers write it from the engine thread for as long as that thread runs. The queues the engine
// posts to come before the event queue, whose thread builds the engine at once and may hand them
// work from its first event (the first smart-card list does) while this thread is still creating
// the members after it. The sources of events stop first (timer ticks, the one-time timer), then
// the event queue, so that no state machine runs any more, then the pipe server, then the
// secondary queues.
// clang-format off
constexpr auto SERVICE_COMPOSITION_ROWS = std::to_array<Row>({
    // member                      create                   start  (place, step)              stop   (place, step)              release (place, step)
    {"scan list",                  &C::createScanList,      NONE, nullptr,                    NONE, nullptr,                    100, &C::releaseScanList},
    {"engine manager",             &C::createEngineManager, NONE, nullptr,                    NONE, nullptr,                    90,  &C::releaseEngineManager},
    {"timer list",                 &C::createTimerList,     20,   &C::startTicking,           10,   &C::stopTicking,            80,  &C::releaseTimerList},
    {"worker queue",               &C::createWorkerQueue,   NONE, nullptr,                    70,   &C::stopWorkerQueue,        60,  &C::releaseWorkerQueue},
    {"alternate queue",            &C::createAltQueue,      NONE, nullptr,                    60,   &C::stopAltQueue,           50,  &C::releaseAltQueue},
    {"event queue",                &C::createEventQueue,    NONE, nullptr,                    30,   &C::stopEventQueue,         70,  &C::releaseEventQueue},
    {"one-time timer",             &C::createOneTimeTimer,  10,   &C::startOneTimeTimer,      20,   &C::cancelOneTimeTimer,     40,  &C::releaseOneTimeTimer},
    {"datagram forwarder",         nullptr,                 30,   &C::createForwarder,        NONE, nullptr,                    30,  &C::releaseForwarder},
    {"quit signal",                nullptr,                 35,   &C::createQuitSignal,       NONE, nullptr,                    35,  &C::releaseQuitSignal},
    {"connection server",          nullptr,                 40,   &C::createConnectionServer, 50,   &C::cancelConnectionServer, 10,  &C::releaseConnectionServer},
    {"client communication",       nullptr,                 50,   &C::subscribeClients,       40,   &C::unsubscribeClients,     20,  &C::releaseClients},
    {"loop initializer interface", nullptr,                 NONE, nullptr,                    NONE, nullptr,                    110, &C::releaseInitializerInterface},
});
// clang-format on
using Table = CompositionTable<C>;
static_assert(Table::placesUnique(SERVICE_COMPOSITION_ROWS));

std::span<const ServiceCompositionRow> serviceCompositionRows() {
    return SERVICE_COMPOSITION_ROWS;
}

ServiceComposition::ServiceComposition(ServiceEventQueueLoopInitializerImpl& initializer,
                                       DatagramSubscriberFactory subscribers)
    : m_initializer(initializer),
      m_subscribers(subscribers),
      m_initializerInterface(static_cast<EventQueueLoopInitializerInterface*>(&initializer)) {}

void ServiceComposition::startUp() {
    Table::create(*this, SERVICE_COMPOSITION_ROWS);
    m_initializer.waitForInit();
    Table::start(*this, SERVICE_COMPOSITION_ROWS);
}

bool ServiceComposition::waitForQuit() {
    try {
        if (!m_connectionServer.start()) return false;
        // A stop that came while the service was starting has set the signal already.
        QuitSignal::wait();
    } catch (const BaseException& e) {
        e.report();
    }
    return true;
}

void ServiceComposition::shutDown() {
    Table::stop(*this, SERVICE_COMPOSITION_ROWS);
    Table::release(*this, SERVICE_COMPOSITION_ROWS);
}

void ServiceComposition::createScanList() {
    m_scanList = ScanList::create();
}

void ServiceComposition::releaseScanList() {
    m_scanList.reset();
}

// Before the event queue, whose thread starts the authentication library through it.
void ServiceComposition::createEngineManager() {
    m_engineManager = NvoManager::create();
}

void ServiceComposition::releaseEngineManager() {
    m_engineManager.reset();
}

void ServiceComposition::createTimerList() {
    m_timerList = TimerList::Create();
}

void ServiceComposition::startTicking() {
    m_timerList.startTicking();
    m_ticking = true;
}

void ServiceComposition::stopTicking() {
    if (!m_ticking) return;
    m_ticking = false;
    m_timerList.stopTicking();
}

void ServiceComposition::releaseTimerList() {
    m_timerList.reset();
}

void ServiceComposition::createEventQueue() {
    m_eventQueue = EventQueue::Create(&m_initializer);
}

void ServiceComposition::stopEventQueue() {
    if (!m_eventQueue.isNull()) m_eventQueue.stop();
}

void ServiceComposition::releaseEventQueue() {
    m_eventQueue.reset();
}

void ServiceComposition::createWorkerQueue() {
    m_workerQueue = WorkerQueue::Create();
}

void ServiceComposition::stopWorkerQueue() {
    if (!m_workerQueue.isNull()) m_workerQueue.stop();
}

void ServiceComposition::releaseWorkerQueue() {
    m_workerQueue.reset();
}

void ServiceComposition::createAltQueue() {
    m_altQueue = AltEventQueue::Create();
}

void ServiceComposition::stopAltQueue() {
    if (!m_altQueue.isNull()) m_altQueue.stop();
}

void ServiceComposition::releaseAltQueue() {
    m_altQueue.reset();
}

void ServiceComposition::createOneTimeTimer() {
    m_oneTimeTimer = OneTimeTimer::create(oneTimeTimerSeconds());
}

void ServiceComposition::startOneTimeTimer() {
    m_oneTimeTimer.start();
    m_timerStarted = true;
}

void ServiceComposition::cancelOneTimeTimer() {
    if (!m_timerStarted) return;
    m_timerStarted = false;
    m_oneTimeTimer.cancel();
}

void ServiceComposition::releaseOneTimeTimer() {
    m_oneTimeTimer.reset();
}

void ServiceComposition::createForwarder() {
    m_forwarder.createEventQueueForwarder();
}

void ServiceComposition::releaseForwarder() {
    m_forwarder.reset();
}

void ServiceComposition::createQuitSignal() {
    // A client may ask for the repair, which sets the quit signal, as soon as the pipe is served.
    m_quitSignal = QuitSignal::Create();
    ServiceQuit::signalCreated();
}

void ServiceComposition::releaseQuitSignal() {
    if (m_quitSignal.isNull()) return;
    // Later stops are only kept.
    ServiceQuit::signalReleasing();
    m_quitSignal.reset();
}

void ServiceComposition::createConnectionServer() {
    m_connectionServer.create(ConnApiConstants::PIPE_NAME, ConnectionConstants::PIPE_INSTANCES, m_forwarder);
}

void ServiceComposition::cancelConnectionServer() {
    if (m_connectionServer.isNull() || m_serverCancelled) return;
    m_serverCancelled = true;
    m_connectionServer.cancel();
}

void ServiceComposition::releaseConnectionServer() {
    m_connectionServer.reset();
}

void ServiceComposition::subscribeClients() {
    if (m_subscribers != nullptr) {
        m_subscriber = m_subscribers();
        m_forwarder.addSubscriber(m_subscriber);
    } else {
        m_clientCommunication = ClientCommunication::Instance();
        m_clientCommunication.subscribeToForwarder(m_forwarder);
    }
    m_subscribed = true;
}

void ServiceComposition::unsubscribeClients() {
    if (!m_subscribed) return;
    m_subscribed = false;
    if (m_subscriber != nullptr) {
        m_forwarder.removeSubscriber(m_subscriber);
    } else {
        m_clientCommunication.unsubscribeFromForwarder(m_forwarder);
    }
}

void ServiceComposition::releaseClients() {
    m_clientCommunication.reset();
    if (m_subscriber == nullptr) return;
    m_subscriber->release();
    m_subscriber = nullptr;
}

void ServiceComposition::releaseInitializerInterface() {
    m_initializerInterface.reset();
}

int ServiceComposition::oneTimeTimerSeconds() {
    std::string text = base::environmentVariable("TAMSEL_TEST_ONE_TIME_TIMER_S");
    if (text.empty()) return ServiceConstants::ONE_TIME_TIMER_S;
    int seconds = atoi(text.c_str());
    return seconds >= 0 && seconds <= ServiceConstants::ONE_TIME_TIMER_S ? seconds
                                                                         : ServiceConstants::ONE_TIME_TIMER_S;
}
