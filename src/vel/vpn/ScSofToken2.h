#pragma once
// The soft token: a one-time passcode from the user's token PIN, for VPN gateways that take
// software-token passcodes.
#include <atomic>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class ScSofToken2Api;

class ScSofToken2Constants {
public:
    // Results of generate.
    static constexpr int NOT_INITIALIZED = 0;
    static constexpr int GENERATED = 1;
    static constexpr int FAILED = 2;
    static constexpr int PIN_EXPIRED = 4;
};

class ScSofToken2Impl : public ReferenceImpl {
public:
    ScSofToken2Impl();
    ~ScSofToken2Impl() override;

    // Unloads the library.
    void clearReferences() override;

    bool isAvailable() const { return m_api != nullptr && m_initialized; }
    int generate(const Ascii& user, const Ascii& pin, Ascii& passcode);

    static std::atomic<ScSofToken2Impl*> Singleton;

private:
    void unload();

    ScSofToken2Api* m_api = nullptr;
    bool m_initialized = false;
};

class ScSofToken2 : public Reference {
public:
    // The composition's: builds the singleton and loads the library.
    static ScSofToken2 create();

    // Binds to the singleton.
    ScSofToken2();

    bool isAvailable() const;
    // A ScSofToken2Constants result; the passcode is set when it is GENERATED.
    int generate(const Ascii& user, const Ascii& pin, Ascii& passcode) const;

    ScSofToken2Impl* impl() const { return static_cast<ScSofToken2Impl*>(static_cast<ReferenceImpl*>(m)); }

private:
    ScSofToken2(ScSofToken2Impl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
};
