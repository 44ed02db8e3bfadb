// Start and end of the library, its version, its own log, the EAP-method start, the trust agent's
// record and the global events.
#include "platform/qxauth/QxLibrary.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <random>
#include <set>

#include "platform/lab/Lab.h"
#include "platform/lab/LabCallbackGate.h"
#include "platform/lab/LabLogonClient.h"
#include "platform/qxauth/QxPorts.h"

namespace qxauth {

namespace {

struct State {
    std::mutex mutex;
    bool initialized = false;
    void* context = nullptr;
    QX_GLOBAL_CALLBACK callback = nullptr;
    void* logContext = nullptr;
    QX_LOG_CALLBACK logCallback = nullptr;
    uint32_t enabledLevels = 0;  // bit n: level n
    uint32_t logNumber = 0;
    std::set<int> eapMethods;
    int listener = 0;
    uint32_t tlvSerial = 0;
    bool adapterListSent = false;
    std::vector<uint8_t> lastAdapterList;
    lab::CallbackGate globalGate;
    lab::CallbackGate logGate;
};

State& state() {
    static State s;
    return s;
}

lab::Lab& theLab() {
    return lab::Lab::instance();
}

// The symbolic names of the lab's adapters, each NUL-terminated.
std::vector<uint8_t> adapterList() {
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    std::vector<uint8_t> list;
    for (const lab::Element& adapter : theLab().world().all("adapter")) {
        std::string name = adapter.text("name");
        list.insert(list.end(), name.begin(), name.end());
        list.push_back(0);
    }
    return list;
}

void deliverGlobalEvent(int kind, const std::vector<uint8_t>& data) {
    State& s = state();
    s.globalGate.deliver([&] {
        QX_GLOBAL_CALLBACK callback;
        void* context;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            callback = s.callback;
            context = s.context;
        }
        if (callback != nullptr)
            callback(context, kind, data.empty() ? nullptr : data.data(), static_cast<int>(data.size()));
    });
}

// The adapter list goes out when the set of names differs from the one sent last.
void sendAdapterListIfChanged() {
    theLab().schedule(0, [] {
        std::vector<uint8_t> list = adapterList();
        State& s = state();
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            if (s.adapterListSent && list == s.lastAdapterList) return;
            s.adapterListSent = true;
            s.lastAdapterList = list;
        }
        log(QX_LOG_INFO, "adapter list: %zu byte(s)", list.size());
        deliverGlobalEvent(QX_EVENT_ADAPTER_LIST, list);
    });
}

// "YYYY-MM-DD[ hh:mm:ss]" (UTC) as seconds since 1970.
int64_t secondsOf(const std::string& text) {
    std::tm when = {};
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &when.tm_year, &when.tm_mon, &when.tm_mday,
                    &when.tm_hour, &when.tm_min, &when.tm_sec) < 3)
        return 0;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    return static_cast<int64_t>(timegm(&when));
}

int eapInit(const char* function, int eapType) {
    lab::Call call(function, "context");
    if (call.injected()) return call.result();
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.eapMethods.insert(eapType);
    return call.finish(QX_OK);
}

}  // namespace

bool initialized() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().initialized;
}

void sendGlobalEvent(int kind, std::vector<uint8_t> data) {
    theLab().schedule(0, [kind, data = std::move(data)] { deliverGlobalEvent(kind, data); });
}

void log(int level, const char* format, ...) {
    State& s = state();
    QX_LOG_LINE line = {};
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.logCallback == nullptr || level < 1 || level > QX_LOG_FRAMES ||
            (s.enabledLevels & (1u << level)) == 0)
            return;
        line.number = ++s.logNumber;
    }
    va_list args;
    va_start(args, format);
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    line.level = level;
    line.time = static_cast<int64_t>(std::time(nullptr));
    line.fileName = "qxLibrary.c";
    line.line = 0;
    std::string message = text;
    theLab().schedule(0, [line, message] {
        State& s = state();
        s.logGate.deliver([&] {
            QX_LOG_CALLBACK callback;
            void* context;
            {
                std::lock_guard<std::mutex> lock(s.mutex);
                callback = s.logCallback;
                context = s.logContext;
            }
            if (callback != nullptr) callback(context, &line, message.c_str());
        });
    });
}

const lab::Element* adapterOf(const char* portName) {
    if (portName == nullptr) return nullptr;
    for (const lab::Element& adapter : theLab().world().all("adapter"))
        if (adapter.text("name") == portName) return &adapter;
    return nullptr;
}

bool eapMethodReady(int eapType) {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().eapMethods.count(eapType) != 0;
}

}  // namespace qxauth

using namespace qxauth;

int qxInit(const QX_INIT* init) {
    lab::Call call("qxInit", "&init");
    if (call.injected()) return call.result();
    if (init == nullptr || init->callback == nullptr) return call.finish(QX_ERR_INV_PARAM);
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.initialized) return call.finish(QX_ERR_FAILURE);
    }
    std::string error;
    if (!theLab().acquire(&error)) {
        std::fprintf(stderr, "qxAuth: the lab cannot be used: %s\n", error.c_str());
        return call.finish(QX_ERR_FAILURE);
    }
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.initialized = true;
        s.context = init->context;
        s.callback = init->callback;
        s.enabledLevels = 0;
        s.eapMethods.clear();
        s.adapterListSent = false;
        s.lastAdapterList.clear();
    }
    resetIp();
    s.globalGate.open();
    s.logGate.open();
    s.listener = theLab().addListener([](const std::string& element) {
        if (element == "adapter") sendAdapterListIfChanged();
        if (element == "smartCard") smartCardsChanged();
        if (element == "accessPoint") accessPointsChanged();
    });
    startCardCommand();
    addPortCommands();
    addAdaptersToNetworkConfiguration();
    sendAdapterListIfChanged();
    // The machine's logon component comes with a running lab; tests in manual mode drive their own.
    if (!theLab().manual()) lab::startLogonClient();
    return call.finish(QX_OK);
}

int qxExit(void) {
    lab::Call call("qxExit");
    if (call.injected()) return call.result();
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.initialized) return call.finish(QX_ERR_NOT_INITIALIZED);
        s.initialized = false;
    }
    // No callback after this: new ones are turned away and one in progress is waited for.
    s.globalGate.close();
    s.logGate.close();
    theLab().removeListener(s.listener);
    stopIp();
    lab::stopLogonClient();
    stopSmartCards();
    stopCertificates();
    theLab().release();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.callback = nullptr;
        s.context = nullptr;
        s.logCallback = nullptr;
        s.logContext = nullptr;
        // Nothing of a run outlives it.
        s.eapMethods.clear();
        std::vector<uint8_t>().swap(s.lastAdapterList);
    }
    return call.finish(QX_OK);
}

int qxVersion(QX_VERSION* version) {
    lab::Call call("qxVersion", "&version");
    if (call.injected()) return call.result();
    if (version == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    lab::Element library("library", 0);
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        const auto& all = theLab().world().all("library");
        if (!all.empty()) library = all.front();
    }
    int parts[4] = {};
    std::sscanf(library.text("version").c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    *version = QX_VERSION{parts[0], parts[1], parts[2], parts[3], secondsOf(library.text("built"))};
    return call.finish(QX_OK);
}

int qxLogSet(void* context, QX_LOG_CALLBACK callback) {
    lab::Call call("qxLogSet", callback != nullptr ? "context, callback" : "context, NULL");
    if (call.injected()) return call.result();
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::mutex> lock(state().mutex);
    state().logContext = context;
    state().logCallback = callback;
    return call.finish(QX_OK);
}

int qxLogEnable(int level, int enable) {
    lab::Call call("qxLogEnable", lab::format("%d, %d", level, enable));
    if (call.injected()) return call.result();
    if (level < 1 || level > QX_LOG_FRAMES || (enable != 0 && enable != 1))
        return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::mutex> lock(state().mutex);
    if (enable != 0) {
        state().enabledLevels |= 1u << level;
    } else {
        state().enabledLevels &= ~(1u << level);
    }
    return call.finish(QX_OK);
}

int qxEapLEAPInit(void*) {
    return eapInit("qxEapLEAPInit", 17);
}
int qxEapFASTInit(void*) {
    return eapInit("qxEapFASTInit", 43);
}
int qxEapMSCHAPv2Init(void*) {
    return eapInit("qxEapMSCHAPv2Init", 26);
}
int qxEapGTCInit(void*) {
    return eapInit("qxEapGTCInit", 6);
}
int qxEapPEAPInit(void*) {
    return eapInit("qxEapPEAPInit", 25);
}
int qxEapTLSInit(void*) {
    return eapInit("qxEapTLSInit", 13);
}
int qxEapMD5Init(void*) {
    return eapInit("qxEapMD5Init", 4);
}
int qxEapTTLSInit(void*) {
    return eapInit("qxEapTTLSInit", 21);
}

int qxTlvInit(QX_TLV* tlv) {
    lab::Call call("qxTlvInit", "&tlv");
    if (call.injected()) return call.result();
    if (tlv == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    static std::mutex randomMutex;
    static std::random_device random;
    QX_TLV record = {};
    record.tag = QX_TLV_TAG;
    record.version = QX_TLV_VERSION;
    record.issuer = static_cast<uint32_t>(::getpid());
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        record.serial = ++state().tlvSerial;
    }
    {
        std::lock_guard<std::mutex> lock(randomMutex);
        for (uint8_t& byte : record.nonce) byte = static_cast<uint8_t>(random());
    }
    record.check = qxTlvCheck(&record);
    *tlv = record;
    call.setArguments(lab::format("&tlv#%u", record.serial));
    return call.finish(QX_OK);
}
