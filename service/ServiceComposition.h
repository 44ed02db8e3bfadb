#pragma once
// Everything runEngine creates, as one table (CompositionTable.h), so that a failure half-way
// through start-up still tears down what exists, in the same order as a normal end. A member
// joins with one row in ServiceComposition.cpp and its named steps here.
#include <optional>
#include <span>

#include "service/CompositionTable.h"
#include "service/OneTimeTimer.h"
#include "service/ServiceEventQueueLoopInitializer.h"
#include "vel/cm/NvoManager.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/connection/ConnectionServer.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/network/ScanList.h"
#include "vel/reference/Reference.h"
#include "vel/timer/TimerList.h"

class DatagramSubscriberInterface;
using DatagramSubscriberFactory = DatagramSubscriberInterface* (*)();

class ServiceComposition {
public:
    ServiceComposition(ServiceEventQueueLoopInitializerImpl& initializer,
                       DatagramSubscriberFactory subscribers);

    // Creates the members, waits until the event-queue thread has built the engine, then starts
    // them.
    void startUp();
    // False when the connection server did not start: no tray program could ever reach the
    // service, and nothing could ask it to stop but a signal.
    bool waitForQuit();
    // Stops, then releases, whatever exists.
    void shutDown();

    // The steps of the rows.
    void createScanList();
    void releaseScanList();
    void createEngineManager();
    void releaseEngineManager();
    void createTimerList();
    void startTicking();
    void stopTicking();
    void releaseTimerList();
    void createEventQueue();
    void stopEventQueue();
    void releaseEventQueue();
    void createWorkerQueue();
    void stopWorkerQueue();
    void releaseWorkerQueue();
    void createAltQueue();
    void stopAltQueue();
    void releaseAltQueue();
    void createOneTimeTimer();
    void startOneTimeTimer();
    void cancelOneTimeTimer();
    void releaseOneTimeTimer();
    void createForwarder();
    void releaseForwarder();
    void createQuitSignal();
    void releaseQuitSignal();
    void createConnectionServer();
    void cancelConnectionServer();
    void releaseConnectionServer();
    void subscribeClients();
    void unsubscribeClients();
    void releaseClients();
    void releaseInitializerInterface();

private:
    // The one-time timer's length; TAMSEL_TEST_ONE_TIME_TIMER_S shortens it for the system tests
    // of the installer, which would otherwise wait 25 seconds for RUNNING.
    static int oneTimeTimerSeconds();

    ServiceEventQueueLoopInitializerImpl& m_initializer;
    DatagramSubscriberFactory m_subscribers;
    Reference m_initializerInterface;
    // Empty until created: a ScanList made by default binds to the existing list.
    std::optional<ScanList> m_scanList;
    // Empty until created, for the same reason.
    std::optional<NvoManager> m_engineManager;
    TimerList m_timerList;
    EventQueue m_eventQueue;
    WorkerQueue m_workerQueue;
    AltEventQueue m_altQueue;
    OneTimeTimer m_oneTimeTimer;
    DatagramForwarder m_forwarder;
    QuitSignal m_quitSignal;
    ConnectionServer m_connectionServer;
    // The service's subscriber of the pipe, unless a test program gives one of its own.
    ClientCommunication m_clientCommunication;
    DatagramSubscriberInterface* m_subscriber = nullptr;
    bool m_subscribed = false;
    bool m_timerStarted = false;
    bool m_serverCancelled = false;
    bool m_ticking = false;
};

// The table itself, for the tests that read it.
using ServiceCompositionRow = CompositionRow<ServiceComposition>;
std::span<const ServiceCompositionRow> serviceCompositionRows();
