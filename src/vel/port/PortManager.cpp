#include "vel/port/PortManager.h"

#include <cstring>
#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/exception/BaseException.h"
#include "vel/location/LocationCapabilities.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/Association.h"
#include "vel/network/ScanList.h"
#include "vel/network/Ssid.h"
#include "vel/os/FileUtil.h"
#include "vel/port/PortEvents.h"
#include "vel/port/PortNameManager.h"
#include "vel/string/Unicode.h"
#include "vel/timer/TimerList.h"

#define EXCEPTION_REPORT(function, code) reportFunctionException(__FILE__, __LINE__, function, code)
#define ERROR_REPORT(function, code) NvoError(__FILE__, __LINE__, function, code)

namespace {

// Scan entry fields (little-endian) and flag bits.
constexpr int SSID_LENGTH_OFFSET = 32;
constexpr int BSSID_OFFSET = 36;
constexpr int FLAGS_OFFSET = 44;
constexpr int WPA_BITS_OFFSET = 52;
constexpr int RSN_BITS_OFFSET = 60;
constexpr int VALUE_OFFSET = 64;
constexpr int LOCATION_OFFSET = 68;
constexpr int CHANNEL_OFFSET = 72;
constexpr int SIGNAL_OFFSET = 76;
constexpr int SNR_OFFSET = 80;
constexpr std::uint32_t FLAG_KEPT = 0x1;
constexpr std::uint32_t FLAG_SKIP = 0x2;
constexpr std::uint32_t FLAG_WPA = 0x10;
constexpr std::uint32_t FLAG_RSN = 0x20;
constexpr std::uint32_t OPEN_FLAG_BITS = 0x0E;
constexpr std::uint32_t AKM_8021X = 0x800;
constexpr std::uint32_t AKM_PSK = 0x1000;
constexpr std::uint32_t AKM_QUILLAN = 0x2000;
constexpr std::uint32_t SUITE_TKIP = 0x40;
constexpr std::uint32_t SUITE_CCMP = 0x80;

// Association modes and encryptions of AssociationModeToText.
enum : std::int32_t {
    MODE_NONE = 0,
    MODE_OPEN = 1,
    MODE_WPA_PERSONAL = 5,
    MODE_WPA_ENTERPRISE = 6,
    MODE_WPA2_PERSONAL = 7,
    MODE_WPA2_ENTERPRISE = 8,
    MODE_QUILLAN = 9,
};
enum : std::int32_t { ENC_NONE = 1, ENC_WEP = 2, ENC_TKIP = 3, ENC_AES = 4 };

std::uint32_t word(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void addMode(ElementVector& modes, std::int32_t association, std::int32_t encryption) {
    Association pair = Association::create(association, encryption);
    modes.add(pair.m);
}

// The key-management pairs of one element summary, as (association, encryption) with the modes
// of its 802.1X, pre-shared-key and own key management.
void addElementModes(ElementVector& modes, std::uint32_t bits, std::int32_t enterprise, std::int32_t personal,
                     std::int32_t quillanEncryption) {
    if ((bits & AKM_8021X) != 0) {
        if ((bits & SUITE_TKIP) != 0) addMode(modes, enterprise, ENC_TKIP);
        if ((bits & SUITE_CCMP) != 0) addMode(modes, enterprise, ENC_AES);
    }
    if ((bits & AKM_PSK) != 0) {
        if ((bits & SUITE_TKIP) != 0) addMode(modes, personal, ENC_TKIP);
        if ((bits & SUITE_CCMP) != 0) addMode(modes, personal, ENC_AES);
    }
    if ((bits & AKM_QUILLAN) != 0) addMode(modes, MODE_QUILLAN, quillanEncryption);
}

ElementVector modesOf(const std::uint8_t* entry) {
    ElementVector modes = ElementVector::create();
    std::uint32_t flags = word(entry + FLAGS_OFFSET);
    bool wpa = (flags & FLAG_WPA) != 0;
    bool rsn = (flags & FLAG_RSN) != 0;
    // A mixed point takes its WPA pairs from its WPA summary.
    if (wpa)
        addElementModes(modes, word(entry + WPA_BITS_OFFSET), MODE_WPA_ENTERPRISE, MODE_WPA_PERSONAL,
                        ENC_TKIP);
    if (rsn)
        addElementModes(modes, word(entry + RSN_BITS_OFFSET), MODE_WPA2_ENTERPRISE, MODE_WPA2_PERSONAL,
                        ENC_AES);
    if ((flags & FLAG_KEPT) != 0) {
        // Privacy without WPA or RSN.
        if (!wpa && !rsn) addMode(modes, MODE_NONE, ENC_WEP);
    } else if (flags == 0 || (flags & OPEN_FLAG_BITS) != 0) {
        addMode(modes, MODE_OPEN, ENC_NONE);
    }
    return modes;
}

ElementInterface* heldTimer(ThreadSafeTimerProxy& proxy) {
    return proxy.exists() ? proxy.element() : nullptr;
}

}  // namespace

PortManagerImpl::MachineStoreOpenerFunction PortManagerImpl::MachineStoreOpener = nullptr;

PortManagerImpl::PortManagerImpl(const VelAdapter& adapter, const NvoPort& port)
    : m_adapter(adapter), m_port(port), m_portStateMachine(this), m_credentialResponder(this) {
    m_mutex.open();
    if (!isWired()) startTimer(m_scanListTimerProxy, SCAN_LIST_RETRY_SECONDS, "m_scanListTimerProxy.empty()");
}

PortManagerImpl::~PortManagerImpl() {
    m_mutex.close();
}

void PortManagerImpl::clearReferences() {
    cancelTimer(m_scanDelayTimerProxy);
    cancelTimer(m_scanRequestTimerProxy);
    cancelTimer(m_scanListTimerProxy);
    ScanList scanList;
    if (!scanList.isNull()) scanList.clear();
    bool attached;
    {
        RuntimeMutexLock lock(m_mutex);
        attached = m_attached;
    }
    if (attached) detach();
    m_sessionStores.clear();
    m_port->clearReferences();
}

void PortManagerImpl::setPortManager() {
    m_port.setPortManager(PortManagerProxy(this));
}

bool PortManagerImpl::isWired() const {
    return m_adapter.mediaType() == AdapterConstants::MEDIA_TYPE_8023;
}

void PortManagerImpl::attach(const char* adapterName) {
    {
        RuntimeMutexLock lock(m_mutex);
        LUM_ASSERT_TEXT(!m_attached, "! m_attached");
    }
    logInfo(1210, "%s: Calling qxEapCreate", name());
    std::int32_t result = m_port->eapCreate();
    if (result != QX_OK) {
        logError(1211, "qxEapCreate failed with %d", result);
        EXCEPTION_REPORT("qxEapCreate", result);
    }
    logInfo(1212, "%s: Calling qxPortAttach", name());
    result = m_port->attach(adapterName);
    if (result != QX_OK) {
        logError(1213, "%s: Adapter control failed: %d", name(), result);
        EXCEPTION_REPORT("qxPortAttach", result);
    }
    QX_PORT_ATTR attributes;
    static_assert(sizeof attributes == PORT_ATTRIBUTE_BYTES);
    std::memset(&attributes, 0, sizeof attributes);
    result = m_port->getAttributes(adapterName, &attributes);
    if (result != QX_OK) {
        logError(1214, "%s: Adapter control failed: %d", name(), result);
        EXCEPTION_REPORT("qxGetPortAttr", result);
    }
    if ((attributes.flags & AdapterConstants::ATTRIBUTE_WIRELESS) != 0) {
        result = m_port->disassociate();
        if (result != QX_OK) {
            logError(1215, "%s: Adapter control failed: %d", name(), result);
            ERROR_REPORT("qxPortDisassociate", result);
        }
        logInfo(1216, "attach: scan and start scan request & delay timers");
        scanAndStartTimers("qxPortSsidScan");
    }
    RuntimeMutexLock lock(m_mutex);
    m_attached = true;
}

void PortManagerImpl::scanAndStartTimers(const char* failureFunction) {
    std::int32_t result = m_port->ssidScan();
    if (result != QX_OK) {
        logError(1217, "%s: Adapter control failed: %d", name(), result);
        ERROR_REPORT(failureFunction, result);
    }
    startTimer(m_scanRequestTimerProxy, SCAN_REQUEST_SECONDS, "m_scanRequestTimerProxy.empty()");
    startTimer(m_scanDelayTimerProxy, SCAN_DELAY_SECONDS, "m_scanDelayTimerProxy.empty()");
}

void PortManagerImpl::detach() {
    {
        RuntimeMutexLock lock(m_mutex);
        LUM_ASSERT_TEXT(m_attached, "m_attached");
    }
    cancelTimer(m_scanRequestTimerProxy);
    cancelTimer(m_scanDelayTimerProxy);
    std::int32_t authResult = m_port->auth(1);
    if (!isWired()) {
        std::int32_t result = m_port->disassociate();
        if (result != QX_OK) ERROR_REPORT("qxPortDisassociate", result);
    }
    std::int32_t detachResult = m_port->detach();
    {
        RuntimeMutexLock lock(m_mutex);
        m_attached = false;
    }
    advanceGeneration();
    if (authResult != QX_OK) EXCEPTION_REPORT("qxPortAuth", authResult);
    if (detachResult != QX_OK) EXCEPTION_REPORT("qxPortDetach", detachResult);
    logInfo(1218, "%s: Calling qxEapDestroy", name());
    std::int32_t result = m_port->eapDestroy();
    if (result != QX_OK) {
        logError(1219, "qxDestroy failed with %d", result);
        EXCEPTION_REPORT("qxEapDestroy", result);
    }
}

void PortManagerImpl::advanceGeneration() {
    RuntimeMutexLock lock(m_mutex);
    m_generation = m_generation >= GENERATION_LIMIT ? 1 : m_generation + 1;
}

bool PortManagerImpl::isStale(std::int32_t generation) {
    RuntimeMutexLock lock(m_mutex);
    return !m_attached || generation != m_generation;
}

std::int32_t PortManagerImpl::generation() {
    RuntimeMutexLock lock(m_mutex);
    return m_generation;
}

void PortManagerImpl::closePort() {
    logInfo(1220, "%s: Closing the port", name());
    if (!isWired()) {
        std::int32_t result = m_port->disassociate();
        if (result != QX_OK) ERROR_REPORT("qxPortDisassociate", result);
    }
    std::int32_t result = m_port->auth(2);
    if (result != QX_OK) EXCEPTION_REPORT("closePort", result);
}

void PortManagerImpl::associate(const QX_ASSOCIATE& record) {
    std::int32_t result = m_port->associate(record);
    if (result != QX_OK) {
        logError(1221, "Connection Association Failed (Failure: %d)", result);
        ERROR_REPORT("qxPortAssociate", result);
    }
    if (m_scanDelayTimerProxy.exists()) {
        // A scan asked less than a scan delay ago may miss the new network: ask again.
        logInfo(1222, "associate : scan delay timer exists, clear scan request and delay timers");
        cancelTimer(m_scanRequestTimerProxy);
        cancelTimer(m_scanDelayTimerProxy);
        logInfo(1223, "sending scan request AFTER associate to driver");
        std::int32_t scan = m_port->ssidScan();
        if (scan != QX_OK) {
            logError(1224, "%s: Adapter control failed: %d", name(), scan);
            ERROR_REPORT("qxPortSsidScan", scan);
        }
        logInfo(1225, "start scan request & delay timers");
        startTimer(m_scanRequestTimerProxy, SCAN_REQUEST_SECONDS, "m_scanRequestTimerProxy.empty()");
        startTimer(m_scanDelayTimerProxy, SCAN_DELAY_SECONDS, "m_scanDelayTimerProxy.empty()");
    } else {
        logInfo(1226, "NOT sending scan request AFTER associate to driver");
    }
}

void PortManagerImpl::adhoc(const QX_ADHOC& record) {
    std::int32_t result = m_port->adhoc(record);
    if (result != QX_OK) {
        logError(1227, "Connection Association Failed (Failure: %d)", result);
        EXCEPTION_REPORT("qxPortAdhoc", result);
    } else {
        logInfo(1228, "%s: Connection Association Success (link up)", name());
    }
}

void PortManagerImpl::radioOff() {
    logInfo(1229, "%s: Calling qxPortRadioOff()", name());
    std::int32_t result = m_port->radioOff();
    if (result != QX_OK) logError(1230, "%s qxPortRadioOff failed %d{error}", name(), result);
}

void PortManagerImpl::radioOn() {
    logInfo(1231, "%s: Calling qxPortRadioOn()", name());
    m_port->radioOn();
}

bool PortManagerImpl::isRadioOn() {
    return m_port->isRadioOn();
}

bool PortManagerImpl::enablePacketCapture() {
    Unicode file = programDataFolder() + Unicode("logs") + Unicode("/") + Unicode("Capture_") +
                   Unicode(m_adapter.symbolicName()) + Unicode(".cap");
    Ascii fileName = Ascii::narrow(file);
    logInfo(1233, "PortManagerImpl::enablePacketCapture: adapter = %s, filename = %s", name(),
            fileName.text());
    std::int32_t result = qxLogSetPcapFile(name(), fileName.text(), CAPTURE_FILE_BYTES);
    if (result == QX_OK) return true;
    if (result == QX_ERR_ALREADY_SET) {
        // Another file is set: switch it off and set ours again.
        std::int32_t off = qxLogSetPcapFile(name(), nullptr, 0);
        if (off != QX_OK) {
            logError(1234, "Can't turn off capture, qxLogSetPcapFile ret = %d", off);
            return false;
        }
        return qxLogSetPcapFile(name(), fileName.text(), CAPTURE_FILE_BYTES) == QX_OK;
    }
    logError(1235, "PortManagerImpl::enablePacketCapture:qxLogSetPcapFile ret = %d", result);
    return false;
}

bool PortManagerImpl::disablePacketCapture() {
    logInfo(1236, "PortManagerImpl::disablePacketCapture: adapter = %s", name());
    std::int32_t result = qxLogSetPcapFile(name(), nullptr, 0);
    if (result == QX_OK) return true;
    logError(1237, "PortManagerImpl::disablePacketCapture:qxLogSetPcapFile ret = %d", result);
    return false;
}

void PortManagerImpl::unblockOsWaitForIp() {
    logInfo(1232, "%s: Calling unblockOsWaitForIp()", name());
    PortNameManagerImpl::reconfigureTcpIp(m_adapter.symbolicName());
}

void PortManagerImpl::rsnProbeIeVerifyEnable(std::int32_t value) {
    logInfo(1238, "%s: Calling qxRsnProbeIeVerifyEnable(%d)", name(), value);
    std::int32_t result = m_port->rsnProbeIeVerifyEnable(value);
    if (result != QX_OK) logError(1239, "%s qxRsnProbeIeVerifyEnable failed %d{error}", name(), result);
}

void PortManagerImpl::set8021xCfg(const QX_8021X_CFG& settings) {
    std::int32_t result = m_port->set8021xCfg(settings);
    if (result != QX_OK) EXCEPTION_REPORT("qx8021xCfg", result);
}

void PortManagerImpl::authenticate(QX_HANDLE key, std::int32_t type) {
    if (key != 0) {
        std::int32_t result = m_port->credRsnPsk(key);
        if (result != QX_OK) EXCEPTION_REPORT("qxCredRsnPsk", result);
    }
    auth(type);
}

void PortManagerImpl::auth(std::int32_t type) {
    std::int32_t result = m_port->auth(type);
    if (result != QX_OK) EXCEPTION_REPORT("qxPortAuth", result);
}

void PortManagerImpl::authReset() {
    if (!isWired()) {
        std::int32_t result = m_port->authReset();
        if (result != QX_OK) ERROR_REPORT("qxPortAuthReset", result);
    }
    advanceGeneration();
    m_sessionEnded = true;
}

bool PortManagerImpl::takesPortState(std::int32_t state) {
    if (PortStateMachine::opensSession(state)) m_sessionEnded = false;
    return !m_sessionEnded;
}

std::int32_t PortManagerImpl::getAssociationInfo(QX_ASSOCIATION_INFO* info) {
    std::int32_t result = m_port->getAssociationInfo(info);
    if (result != QX_OK && result != QX_ERR_NO_INFO) ERROR_REPORT("qxPortGetAssociationInfo", result);
    return result;
}

std::int32_t PortManagerImpl::getLocation(const QX_LOCATION_QUERY& query) {
    std::int32_t result = m_port->getLocation(query);
    if (result != QX_OK && result != QX_ERR_NO_INFO) ERROR_REPORT("qxPortGetLocation", result);
    return result;
}

std::int32_t PortManagerImpl::getLinkSpeed(std::int32_t* kbps) {
    std::int32_t result = m_port->getLinkSpeed(kbps);
    if (result != QX_OK) ERROR_REPORT("qxPortGetLinkSpeed", result);
    return result;
}

std::int32_t PortManagerImpl::getLinkState(std::int32_t* state) {
    std::int32_t result = m_port->getLinkState(state);
    if (result != QX_OK) ERROR_REPORT("qxPortGetLinkState", result);
    return result;
}

bool PortManagerImpl::serverVerifyCa(std::int32_t sync, QX_HANDLE certificate) {
    std::int32_t inChain = 0;
    std::int32_t result = m_port->serverVerifyCa(sync, certificate, &inChain);
    if (result == QX_ERR_UNDECIDED) return true;
    if (result != QX_OK) {
        ERROR_REPORT("qxCredServerVerifyCA", result);
        return false;
    }
    return inChain == 1;
}

int PortManagerImpl::checkAnswer(std::int32_t result, std::int32_t sync, const char* text,
                                 const char* function) {
    if (result == QX_OK) {
        logInfo(1240, "%s: %s : sync=%d", name(), text, sync);
    } else if (result == QX_ERR_CANCELED) {
        logInfo(1241, "%s: Received QX_ERR_CANCELED from NVO", name());
    } else if (result == QX_ERR_INV_SYNC) {
        logInfo(1242, "%s: Received QX_ERR_INV_SYNC from NVO", name());
    } else {
        EXCEPTION_REPORT(function, result);
    }
    return result;
}

int PortManagerImpl::credComplete(int sync, bool responded) {
    return checkAnswer(m_port->credComplete(sync, responded ? 0 : 1), sync,
                       responded ? "Credential Request completed, response sent"
                                 : "Credential Request completed, no response sent",
                       "qxCredComplete");
}

int PortManagerImpl::credDeferred(int sync) {
    logInfo(1243, "Calling qxCredDeferred");
    return checkAnswer(m_port->credDeferred(sync), sync, "Credential Request deferred", "qxCredDeferred");
}

int PortManagerImpl::sendEapMethods(int sync, const QX_EAP_METHOD* methods, int count) {
    return checkAnswer(m_port->credEapMethods(sync, count, methods), sync, "EAP methods sent",
                       "qxCredEapMethods");
}

int PortManagerImpl::sendTtlsMethod(int sync, int method) {
    return checkAnswer(m_port->credEapTtlsTunnelMethod(sync, method), sync, "TTLS method sent",
                       "qxCredEapTTLSTunnelMethod");
}

int PortManagerImpl::sendIdentity(int sync, QX_HANDLE identity) {
    logInfo(1244, "Sending identity");
    return checkAnswer(m_port->credIdentity(sync, identity), sync, "Identity sent", "qxCredIdentity");
}

int PortManagerImpl::sendPassword(int sync, QX_HANDLE password) {
    logInfo(1245, "Sending password");
    return checkAnswer(m_port->credPassword(sync, password), sync, "Password sent", "qxCredPassword");
}

int PortManagerImpl::sendSessionStart(int sync, bool full, const CertificateStore& store) {
    CertificateStoreHandle handle;
    if (!store.isNull()) handle = store.open();
    int result = sendSessionStart(sync, full ? 1 : 0, handle.handle());
    // Kept after the call: the library reads the stores while it checks the server.
    if (handle.handle() != 0) m_sessionStores.insert(m_sessionStores.begin(), handle);
    return result;
}

int PortManagerImpl::sendSessionStart(std::int32_t sync, std::int32_t value, QX_HANDLE store) {
    std::vector<CertificateStoreHandle> previous;
    previous.swap(m_sessionStores);
    QX_HANDLE stores[4] = {};
    std::int32_t count = 0;
    if (store != 0) stores[count++] = store;
    CertificateStoreHandle machineStores[3];
    if (MachineStoreOpener != nullptr) MachineStoreOpener(machineStores);
    for (const CertificateStoreHandle& machineStore : machineStores) {
        if (machineStore.handle() == 0) continue;
        stores[count++] = machineStore.handle();
        m_sessionStores.push_back(machineStore);
    }
    checkAnswer(m_port->credCertStore(stores, count), sync, "CA certificate store handles set",
                "qxCredCertStore");
    // The stores of the previous session end only once the library holds the new ones.
    previous.clear();
    return checkAnswer(m_port->credSessionStart(sync, value), sync, "Session start sent",
                       "qxCredSessionStart");
}

int PortManagerImpl::sendEapFastPac(int sync, QX_HANDLE pac) {
    return checkAnswer(m_port->credEapFastPac(sync, pac), sync, "FAST PAC sent", "qxCredEapFASTPac");
}

int PortManagerImpl::sendEapFastProvisionModes(int sync, const int* modes, int count) {
    return checkAnswer(m_port->credEapFastProvisionModes(sync, modes, count), sync,
                       "FAST provisioning modes sent", "qxCredEapFASTProvisionModes");
}

int PortManagerImpl::sendMachineIdentity(int sync, QX_HANDLE identity) {
    return checkAnswer(m_port->credMachineIdentity(sync, identity), sync, "Identity sent",
                       "qxCredMachineIdentity");
}

int PortManagerImpl::sendServerVerified(int sync, bool verified) {
    return checkAnswer(m_port->credServerVerified(sync, verified ? 1 : 0), sync, "Server verification sent",
                       "qxCredServerVerified");
}

int PortManagerImpl::sendUserCert(int sync, QX_HANDLE certificate) {
    return checkAnswer(m_port->credUserCert(sync, certificate), sync, "User certificate sent",
                       "qxCredUserCert");
}

int PortManagerImpl::sendEapFastPacTypes(int sync, const int* types, int count) {
    return checkAnswer(m_port->credEapFastPacTypes(sync, types, count), sync, "FAST PAC types sent",
                       "qxCredEapFASTPacTypes");
}

int PortManagerImpl::serverVerifyCa(int sync, const Certificate& certificate) {
    return serverVerifyCa(static_cast<std::int32_t>(sync), certificate.handle()) ? 1 : 0;
}

void PortManagerImpl::credentialCallback(QX_CRED_REQUEST* request) {
    logInfo(1246, "Credential callback, type=%s, sync=%d",
            PortCredentialResponderMember::requestTypeName(request->type), request->sync);
    try {
        m_credentialResponder.credentialRequest(request);
    } catch (const BaseException& exception) {
        exception.report();
    }
}

void PortManagerImpl::portEventCallback(std::int32_t type, const void* data, std::int32_t length) {
    try {
        m_portStateMachine.portEvent(type, data, length);
    } catch (const BaseException& exception) {
        exception.report();
    }
}

void PortManagerImpl::eapStatusCallback(const int* status) {
    if (status == nullptr) return;
    postEvent(MessageEventFactory::CreateEapStatusEvent(this, *status));
}

void PortManagerImpl::startTimer(ThreadSafeTimerProxy& proxy, int seconds, const char* emptyAssertion) {
    if (!LUM_ASSERT_TEXT(proxy.empty(), emptyAssertion)) return;
    TimerList timers = TimerList::Instance();
    if (!LUM_ASSERT(!timers.isNull())) return;
    proxy = timers.startTimer(seconds, this);
}

void PortManagerImpl::cancelTimer(ThreadSafeTimerProxy& proxy) {
    if (!proxy.exists()) return;
    TimerList timers = TimerList::Instance();
    if (!timers.isNull()) timers.cancelTimer(proxy.threadSafeTimer());
    proxy.clear();
}

void PortManagerImpl::timerExpired(const ThreadSafeTimer& timer) {
    if (timer.m == heldTimer(m_scanListTimerProxy)) {
        scanListTimerExpired();
    } else if (timer.m == heldTimer(m_scanRequestTimerProxy)) {
        logInfo(1247, "sending scan request to driver");
        m_port->ssidScan();
        cancelTimer(m_scanRequestTimerProxy);
        startTimer(m_scanRequestTimerProxy, SCAN_REQUEST_SECONDS, "m_scanRequestTimerProxy.empty()");
        logInfo(1248, "scan request timer expired, reset scan request and delay timers");
        cancelTimer(m_scanDelayTimerProxy);
        startTimer(m_scanDelayTimerProxy, SCAN_DELAY_SECONDS, "m_scanDelayTimerProxy.empty()");
    } else if (timer.m == heldTimer(m_scanDelayTimerProxy)) {
        logInfo(1249, "scan delay timer expired");
        cancelTimer(m_scanDelayTimerProxy);
    } else {
        LUM_ASSERT_TEXT(false, "Invalid Timer expired");
    }
}

void PortManagerImpl::scanListTimerExpired() {
    cancelTimer(m_scanListTimerProxy);
    ScanList scanList;
    std::int32_t length = 0;
    std::int32_t result = m_port->getSsidList(m_adapter.symbolicName(), nullptr, &length);
    if (result != QX_OK || length < SCAN_ENTRY_BYTES) {
        if (result != QX_OK) ERROR_REPORT("qxGetPortSsidList", result);
        if (!scanList.isNull()) scanList.clear();
        startTimer(m_scanListTimerProxy, SCAN_LIST_SECONDS, "m_scanListTimerProxy.empty()");
        return;
    }
    // Room for twice the size, as the list may grow between the two questions.
    std::vector<std::uint8_t> buffer(static_cast<size_t>(length) * 2);
    length *= 2;
    result = m_port->getSsidList(m_adapter.symbolicName(), buffer.data(), &length);
    if (result != QX_OK) {
        ERROR_REPORT("qxGetPortSsidList", result);
        if (!scanList.isNull()) scanList.clear();
        startTimer(m_scanListTimerProxy, SCAN_LIST_RETRY_SECONDS, "m_scanListTimerProxy.empty()");
        return;
    }
    convertScanList(buffer.data(), length);
    startTimer(m_scanListTimerProxy, SCAN_LIST_SECONDS, "m_scanListTimerProxy.empty()");
}

void PortManagerImpl::convertScanList(const std::uint8_t* data, std::int32_t length) {
    ScanList scanList;
    if (scanList.isNull()) return;
    if (data == nullptr || length <= 0) {
        scanList.clear();
        return;
    }
    scanList.setScanList(scanEntries(data, length));
}

ElementVector PortManagerImpl::scanEntries(const std::uint8_t* data, std::int32_t length) {
    ElementVector list = ElementVector::create();
    for (std::int32_t at = 0; at + SCAN_ENTRY_BYTES <= length; at += SCAN_ENTRY_BYTES) {
        const std::uint8_t* entry = data + at;
        std::uint32_t flags = word(entry + FLAGS_OFFSET);
        if ((flags & FLAG_SKIP) != 0) continue;
        std::uint32_t ssidLength = word(entry + SSID_LENGTH_OFFSET);
        if (ssidLength > static_cast<std::uint32_t>(SsidImpl::MAX_SSID_LENGTH))
            ssidLength = SsidImpl::MAX_SSID_LENGTH;
        Ssid ssid = Ssid::create(
            Ascii(reinterpret_cast<const char*>(entry), static_cast<std::int32_t>(ssidLength)),
            ByteArray(entry + BSSID_OFFSET, SsidImpl::BSSID_LENGTH),
            static_cast<std::uint8_t>(flags & FLAG_KEPT), modesOf(entry), static_cast<std::int32_t>(flags),
            static_cast<std::int32_t>(word(entry + CHANNEL_OFFSET)),
            static_cast<std::int32_t>(word(entry + SIGNAL_OFFSET)),
            static_cast<std::int32_t>(word(entry + SNR_OFFSET)),
            static_cast<std::int32_t>(word(entry + VALUE_OFFSET) & 0xFF),
            LocationCapabilities::fromCapabilityWord(word(entry + LOCATION_OFFSET)));
        list.add(ssid.m);
    }
    return list;
}
