#pragma once
// The service's use of the authentication library as a whole: starts it with the global and log
// callbacks, switches on its log, starts its EAP methods and smart cards, loads the trust-agent
// plug-in, and at shut-down unloads the plug-in and stops the library. The callbacks run on the
// library's thread and only turn what they receive into events on the engine event queue or into
// log lines.
#include <atomic>
#include <cstdint>
#include <functional>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/AsciiVector.h"

struct QX_LOG_LINE;

class NvoManagerImpl : public ReferenceImpl {
public:
    NvoManagerImpl();
    ~NvoManagerImpl() override;

    // Once, after creation: ends the service when the library cannot start or log.
    void init();
    // Once, at shut-down: after it every global callback is only logged.
    void exit();

    void globalCallback(int kind, const void* data, int length);
    void logCallback(const QX_LOG_LINE* line, const char* message);

    bool smartCardsSupported() const { return m_smartCardsSupported; }

    // Where the identifiers of the inserted smart cards go while smart cards are supported: the
    // smart-card list sets it when it exists.
    using SmartCardIdListSink = std::function<void(const AsciiVector& ids)>;
    void setSmartCardIdListSink(SmartCardIdListSink sink);

    static std::atomic<NvoManagerImpl*> Singleton;

private:
    bool m_smartCardsSupported = false;
    bool m_exitCalled = false;
    // Taken by the global callback and by exit, so that no event is posted after exit.
    RuntimeMutex m_lock;
    SmartCardIdListSink m_smartCardSink;
};

class NvoManager : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static NvoManager create();
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    NvoManager();

    void init() const;
    void exit() const;
    NvoManagerImpl* impl() const { return static_cast<NvoManagerImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit NvoManager(NvoManagerImpl* p);
};

// The texts of a list the library sends: each ends at its NUL, and the last at the list's length
// when its NUL is missing.
AsciiVector splitNameList(const void* data, int length);
