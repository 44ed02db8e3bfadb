#pragma once
// Drives the authentication library's port of one adapter: EAP instance and attachment, the scan
// list of a wireless adapter kept fresh by three timers, association, ad-hoc cells, the radio,
// authentication, packet capture and the credential answers; it turns the library's callbacks into
// events on the engine's queue. Engine thread, except the three callbacks (library thread).
#include <cstdint>
#include <vector>

#include "platform/qxauth/qxAuth.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/adapter/PortManagerListener.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/certificate/CertificateStoreHandle.h"
#include "vel/credrequest/CredentialAnswers.h"
#include "vel/port/NvoPort.h"
#include "vel/port/PortCredentialResponderMember.h"
#include "vel/port/PortManagerProxy.h"
#include "vel/port/PortStateMachine.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/timer/ThreadSafeTimerProxy.h"
#include "vel/timer/TimerSubscriber.h"

class PortManagerImpl : public ReferenceImpl,
                        public TimerSubscriberInterface,
                        public CredentialAnswersInterface {
public:
    static constexpr std::int32_t GENERATION_LIMIT = 100;
    static constexpr int SCAN_LIST_SECONDS = 10;
    static constexpr int SCAN_LIST_RETRY_SECONDS = 6;
    static constexpr int SCAN_REQUEST_SECONDS = 63;
    static constexpr int SCAN_DELAY_SECONDS = 6;
    static constexpr int SCAN_ENTRY_BYTES = 84;
    static constexpr int PORT_ATTRIBUTE_BYTES = 272;
    static constexpr int CAPTURE_FILE_BYTES = 1000000;

    // Opens the machine's root CA, intermediate CA and personal stores into the three handles (empty
    // for a store that does not open). Set at start-up; without it only the answer's store goes.
    using MachineStoreOpenerFunction = void (*)(CertificateStoreHandle stores[3]);
    static MachineStoreOpenerFunction MachineStoreOpener;

    // A wireless adapter's scan list timer starts at once. The port is the library's unless a test
    // gives one of its own.
    explicit PortManagerImpl(const VelAdapter& adapter, const NvoPort& port = NvoPort());
    ~PortManagerImpl() override;

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Cancels the timers, clears the shared scan list, detaches when attached and clears the
    // port's references.
    void clearReferences() override;
    void timerExpired(const ThreadSafeTimer& timer) override;

    void attach(const char* adapterName);
    void closePort();
    void associate(const QX_ASSOCIATE& record);
    void adhoc(const QX_ADHOC& record);
    void radioOff();
    void radioOn();
    bool isRadioOn();
    bool enablePacketCapture();
    bool disablePacketCapture();
    // Ends an address wait of the operating system: TCP/IP reconfigures itself on the adapter.
    void unblockOsWaitForIp();
    void rsnProbeIeVerifyEnable(std::int32_t value);
    void set8021xCfg(const QX_8021X_CFG& settings);
    // key: a pre-shared key handle, 0 for none.
    void authenticate(QX_HANDLE key, std::int32_t type);
    void auth(std::int32_t type);
    void authReset();
    std::int32_t getAssociationInfo(QX_ASSOCIATION_INFO* info);
    std::int32_t getLocation(const QX_LOCATION_QUERY& query);
    std::int32_t getLinkSpeed(std::int32_t* kbps);
    std::int32_t getLinkState(std::int32_t* state);
    // Whether the server's certificate chains to the CA; the library's "undecided" counts as yes.
    bool serverVerifyCa(std::int32_t sync, QX_HANDLE certificate);
    bool isWired() const;
    bool isStale(std::int32_t generation);
    std::int32_t generation();
    // Engine thread. Whether a state or EAP status report of the library may reach the adapter.
    // Once the engine has reset the port's authentication, the library may still deliver the end
    // of the session it ran before, and that must not decide the next one: such reports are dropped
    // until the library reports the reset (port disconnected) or the next session (connecting).
    bool takesPortState(std::int32_t state);
    bool takesEapStatus() const { return !m_sessionEnded; }
    PortManagerListener portManagerListener() const { return m_adapter.portManagerListener(); }
    // Gives the port its manager.
    void setPortManager();

    // Credential answers: one port call each, its result logged and returned.
    int credComplete(int sync, bool responded) override;
    int credDeferred(int sync) override;
    int sendEapMethods(int sync, const QX_EAP_METHOD* methods, int count) override;
    int sendTtlsMethod(int sync, int method) override;
    int sendIdentity(int sync, QX_HANDLE identity) override;
    int sendPassword(int sync, QX_HANDLE password) override;
    // Opens the answer's store; its handle and the machine stores' stay open until the next session
    // start or the detach, as the library checks the server against them later.
    int sendSessionStart(int sync, bool full, const CertificateStore& store) override;
    // store: the CA store handle given with the answer (0 for none); the machine stores follow it.
    // Only handles that are not 0 go to the library, without gaps. value: the library's own.
    int sendSessionStart(std::int32_t sync, std::int32_t value, QX_HANDLE store);
    int sendEapFastPac(int sync, QX_HANDLE pac) override;
    int sendEapFastProvisionModes(int sync, const int* modes, int count) override;
    int sendMachineIdentity(int sync, QX_HANDLE identity) override;
    int sendServerVerified(int sync, bool verified) override;
    int sendUserCert(int sync, QX_HANDLE certificate) override;
    int sendEapFastPacTypes(int sync, const int* types, int count) override;
    // 1 when the certificate's handle chains to the server's certificate, as serverVerifyCa below.
    int serverVerifyCa(int sync, const Certificate& certificate) override;

    // The library's callbacks, through the port (library thread).
    virtual void credentialCallback(QX_CRED_REQUEST* request);
    virtual void portEventCallback(std::int32_t type, const void* data, std::int32_t length);
    virtual void eapStatusCallback(const int* status);

    // The Ssid entries of a library scan list: whole 84-byte entries not marked skipped.
    static ElementVector scanEntries(const std::uint8_t* data, std::int32_t length);

    const VelAdapter& adapter() const { return m_adapter; }
    const NvoPort& port() const { return m_port; }
    const char* name() const { return m_adapter.impl()->symbolicName().text(); }
    bool scanListTimerRunning() { return m_scanListTimerProxy.exists(); }
    bool scanRequestTimerRunning() { return m_scanRequestTimerProxy.exists(); }
    bool scanDelayTimerRunning() { return m_scanDelayTimerProxy.exists(); }

private:
    void detach();
    void advanceGeneration();
    void startTimer(ThreadSafeTimerProxy& proxy, int seconds, const char* emptyAssertion);
    void cancelTimer(ThreadSafeTimerProxy& proxy);
    void scanListTimerExpired();
    void convertScanList(const std::uint8_t* data, std::int32_t length);
    // Logs the answer's result, or reports it when it is neither cancelled nor stale.
    int checkAnswer(std::int32_t result, std::int32_t sync, const char* text, const char* function);
    void scanAndStartTimers(const char* failureFunction);

    VelAdapter m_adapter;
    bool m_attached = false;
    std::int32_t m_generation = 1;
    // Engine thread only: authentication reset and the library not yet past the old session.
    bool m_sessionEnded = false;
    NvoPort m_port;
    PortStateMachine m_portStateMachine;
    PortCredentialResponderMember m_credentialResponder;
    RuntimeMutex m_mutex;
    ThreadSafeTimerProxy m_scanListTimerProxy;
    ThreadSafeTimerProxy m_scanRequestTimerProxy;
    ThreadSafeTimerProxy m_scanDelayTimerProxy;
    // The stores handed to the library at the last session start (engine thread).
    std::vector<CertificateStoreHandle> m_sessionStores;
};
