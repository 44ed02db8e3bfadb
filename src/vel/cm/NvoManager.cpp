#include "vel/cm/NvoManager.h"

#include <cstring>

#include "platform/base/LocalTime.h"
#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "runtime/lum/Log.h"
#include "vel/cm/TivraPlugin.h"
#include "vel/exception/BaseException.h"
#include "vel/multithread/EventQueue.h"
#include "vel/reference/Singleton.h"
#include "vel/symbolicname/SymbolicNameAdapterList.h"

std::atomic<NvoManagerImpl*> NvoManagerImpl::Singleton{nullptr};

namespace {

// The levels of the library's log the service turns on: 1 to 14 (15, every frame, stays off).
constexpr int LOG_LEVELS_ENABLED = 14;
constexpr int LIBRARY_LOG_BITS = 32;
constexpr const char* LEVEL_PREFIX = "QX_LOG_";

struct EapMethod {
    int (*start)(void* context);
    // The name a failure is logged with.
    const char* name;
};

const EapMethod EAP_METHODS[] = {
    {qxEapLEAPInit, "qxEapLEAPInIt"},         {qxEapFASTInit, "qxEapFASTInit"},
    {qxEapMSCHAPv2Init, "qxEapMSCHAPv2Init"}, {qxEapGTCInit, "qxEapGTCInit"},
    {qxEapPEAPInit, "qxEapPEAPInit"},         {qxEapTLSInit, "qxEapTLSInit"},
    {qxEapMD5Init, "qxEapMD5Init"},           {qxEapTTLSInit, "qxEapTTLSInit"},
};

bool localTime(std::int64_t time, std::tm* out) {
    return base::localTime(static_cast<std::time_t>(time), *out);
}

// The library's threads meet the service only through these: nothing the service throws may reach
// the library.
void globalCallbackEntry(void* context, int kind, const void* data, int length) {
    if (!LUM_ASSERT_TEXT(context != nullptr, "this")) return;
    try {
        static_cast<NvoManagerImpl*>(context)->globalCallback(kind, data, length);
    } catch (const BaseException& e) {
        e.report();
    }
}

void logCallbackEntry(void* context, const QX_LOG_LINE* line, const char* message) {
    try {
        static_cast<NvoManagerImpl*>(context)->logCallback(line, message);
    } catch (const BaseException& e) {
        e.report();
    }
}

}  // namespace

AsciiVector splitNameList(const void* data, int length) {
    AsciiVector names;
    const char* text = static_cast<const char*>(data);
    int at = 0;
    while (text != nullptr && at < length) {
        const void* end = std::memchr(text + at, '\0', static_cast<size_t>(length - at));
        int size =
            end != nullptr ? static_cast<int>(static_cast<const char*>(end) - (text + at)) : length - at;
        names.add(Ascii(text + at, size));
        at += size + 1;
    }
    return names;
}

NvoManagerImpl::NvoManagerImpl() {
    m_lock.open();
}

NvoManagerImpl::~NvoManagerImpl() {
    forgetSingleton(Singleton, this);
    m_lock.close();
}

void NvoManagerImpl::init() {
    QX_INIT start = {this, globalCallbackEntry};
    int result = qxInit(&start);
    if (result != QX_OK) {
        reportFunctionException(__FILE__, __LINE__, "qxInit", result);
        fatalError("Unable to initialize qxAuth library.");
    }
    logInfo(601, "Successfully initialized FIPS module.");

    QX_VERSION version = {};
    std::tm built = {};
    if (qxVersion(&version) == QX_OK && localTime(version.built, &built)) {
        logInfo(549, "Successfully initialized qxAuth Ver: %ld.%ld.%ld.%ld %d-%02d-%02d %d:%d:%d.",
                static_cast<long>(version.major), static_cast<long>(version.minor),
                static_cast<long>(version.patch), static_cast<long>(version.build), built.tm_year + 1900,
                built.tm_mon + 1, built.tm_mday, built.tm_hour, built.tm_min, built.tm_sec);
    }

    // Without the library's log the service cannot say what its ports do: it stops, naming the
    // call, rather than through an exception that no caller of the start catches.
    result = qxLogSet(this, logCallbackEntry);
    if (result != QX_OK) {
        reportFunctionException(__FILE__, __LINE__, "qxLogSet", result);
        fatalError("Unable to set the qxAuth library's log: qxLogSet failed.");
    }
    for (int level = 1; level <= LOG_LEVELS_ENABLED; ++level) {
        result = qxLogEnable(level, 1);
        if (result != QX_OK) {
            reportFunctionException(__FILE__, __LINE__, "qxLogEnable", result);
            fatalError("Unable to enable the qxAuth library's log: qxLogEnable failed.");
        }
    }

    {
        // The first card list may come before qxSmartCardInit returns: the global callback waits
        // for the lock until the flag says whether cards are followed.
        RuntimeMutexLock lock(m_lock);
        result = qxSmartCardInit(this);
        m_smartCardsSupported = result == QX_OK;
    }
    if (result == QX_ERR_NOT_SUPPORTED) {
        logInfo(0, "qxSmartCardInit: smart cards are not supported on this platform");
    } else if (result != QX_OK) {
        NvoError(__FILE__, __LINE__, "qxSmartCardInit", result);
    }

    for (const EapMethod& method : EAP_METHODS) {
        result = method.start(this);
        if (result != QX_OK) NvoError(__FILE__, __LINE__, method.name, result);
    }

    if (TivraPlugin::load() != 0) {
        logInfo(506, "Failed to load Tivra");
        return;
    }
    TivraVersion agent = {};
    if (TivraPlugin::version(&agent)) {
        logInfo(505, "Tivra Ver. %d.%d.%d.%d successfully loaded", agent.parts[0], agent.parts[1],
                agent.parts[2], agent.parts[3]);
    } else {
        logInfo(548, "Tivra unknown version successfully loaded.");
    }
}

void NvoManagerImpl::exit() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    {
        RuntimeMutexLock lock(m_lock);
        m_exitCalled = true;
    }
    // The lock is not held across qxExit, which waits for a global callback in progress: that
    // callback waits for the lock.
    TivraPlugin::unload();
    int result = qxExit();
    if (result != QX_OK) fatalError("qxExit => %d{error}", result);
}

void NvoManagerImpl::setSmartCardIdListSink(SmartCardIdListSink sink) {
    RuntimeMutexLock lock(m_lock);
    m_smartCardSink = std::move(sink);
}

void NvoManagerImpl::globalCallback(int kind, const void* data, int length) {
    RuntimeMutexLock lock(m_lock);
    if (m_exitCalled) {
        logInfo(0, "Ignoring %s event: qxExit() already called", qxEventString(kind));
        return;
    }
    if (kind != QX_EVENT_ADAPTER_LIST)
        logInfo(0, "NvoManagerImpl.GlobalCallback: %s [%p,%d]", qxEventString(kind), data, length);
    switch (kind) {
        case QX_EVENT_ADAPTER_LIST:
            EventQueue::Instance().post(MessageEvent(new SymbolicListEventImpl(splitNameList(data, length))));
            return;
        case QX_EVENT_SMART_CARD_LIST: {
            if (!m_smartCardsSupported) return;
            AsciiVector ids = splitNameList(data, length);
            logInfo(0, "Smart card change event: %d smart card(s) detected", ids.length());
            if (m_smartCardSink) m_smartCardSink(ids);
            return;
        }
        case QX_EVENT_IP_CONFIG_CHANGED:
            return;
        default:
            LUM_ASSERT_TEXT(false, "event");
            return;
    }
}

void NvoManagerImpl::logCallback(const QX_LOG_LINE* line, const char* message) {
    if (!logEnabled(LIBRARY_LOG_BITS)) return;
    if (!LUM_ASSERT_TEXT(line != nullptr, "logInfo") ||
        !LUM_ASSERT_TEXT(line->fileName != nullptr, "logInfo->fileName") ||
        !LUM_ASSERT_TEXT(message != nullptr, "logMsg"))
        return;
    std::tm local = {};
    if (!LUM_ASSERT_TEXT(localTime(line->time, &local), "time")) return;
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    Tag time("time", stamp);
    const char* level = qxLogLevelString(line->level);
    if (std::strncmp(level, LEVEL_PREFIX, std::strlen(LEVEL_PREFIX)) == 0) level += std::strlen(LEVEL_PREFIX);
    logMaskedTagged(LIBRARY_LOG_BITS, Tags(time), "%s (%lu) %s (%s %d)", level,
                    static_cast<unsigned long>(line->number), message, line->fileName, line->line);
}

NvoManager NvoManager::create() {
    return NvoManager(createSingleton(NvoManagerImpl::Singleton));
}

NvoManager::NvoManager() : NvoManager(bindSingleton(NvoManagerImpl::Singleton)) {}

NvoManager::NvoManager(NvoManagerImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}

void NvoManager::init() const {
    if (LUM_ASSERT(m)) impl()->init();
}

void NvoManager::exit() const {
    if (LUM_ASSERT(m)) impl()->exit();
}
