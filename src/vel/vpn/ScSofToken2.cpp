#include "vel/vpn/ScSofToken2.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/exception/BaseException.h"
#include "vel/vpn/ScSofToken2Api.h"

std::atomic<ScSofToken2Impl*> ScSofToken2Impl::Singleton{nullptr};

ScSofToken2Impl::ScSofToken2Impl() : m_api(new ScSofToken2Api) {
    m_initialized = m_api->load();
}

ScSofToken2Impl::~ScSofToken2Impl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    try {
        unload();
    } catch (const BaseException& e) {
        logError(0, "Failed to release all resources used by the ScSofToken2 when destroying it.");
        e.report();
    }
    Singleton = nullptr;
}

void ScSofToken2Impl::clearReferences() {
    unload();
}

void ScSofToken2Impl::unload() {
    m_initialized = false;
    if (m_api == nullptr) return;
    m_api->unload();
    delete m_api;
    m_api = nullptr;
}

int ScSofToken2Impl::generate(const Ascii& user, const Ascii& pin, Ascii& passcode) {
    if (!LUM_ASSERT_TEXT(m_api != nullptr, "m_api")) return ScSofToken2Constants::NOT_INITIALIZED;
    if (!m_initialized) {
        logError(0, "ScSofToken2Impl : uninitialized - no passcode generated");
        return ScSofToken2Constants::NOT_INITIALIZED;
    }
    switch (m_api->passcode(user, pin, passcode)) {
        case ScSofToken2Api::GENERATED:
            return ScSofToken2Constants::GENERATED;
        case ScSofToken2Api::PIN_EXPIRED:
            return ScSofToken2Constants::PIN_EXPIRED;
        default:
            return ScSofToken2Constants::FAILED;
    }
}

ScSofToken2 ScSofToken2::create() {
    if (!LUM_ASSERT_TEXT(ScSofToken2Impl::Singleton == nullptr, "Singleton == null")) return ScSofToken2();
    auto* p = new ScSofToken2Impl;
    ScSofToken2Impl::Singleton = p;
    return ScSofToken2(p, Reference::TAKE_OVER);
}

ScSofToken2::ScSofToken2() {
    RuntimeMutexLock lock(*ReferenceMutex);
    ScSofToken2Impl* p = ScSofToken2Impl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return;
    m = p;
}

bool ScSofToken2::isAvailable() const {
    if (!LUM_ASSERT_TEXT(m, "m")) return false;
    return impl()->isAvailable();
}

int ScSofToken2::generate(const Ascii& user, const Ascii& pin, Ascii& passcode) const {
    if (!LUM_ASSERT_TEXT(m, "m")) return ScSofToken2Constants::NOT_INITIALIZED;
    return impl()->generate(user, pin, passcode);
}
