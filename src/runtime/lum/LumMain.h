#pragma once

#include <cstddef>

struct OsContext;

enum LumLifetime {
    LIFETIME_NONE = 0,
    LIFETIME_CREATING = 1,
    LIFETIME_FAILED = 2,
    LIFETIME_READY = 3,
    LIFETIME_DESTROYING = 4,
    LIFETIME_RELEASED = 5
};

// The run-time layer's lifetime: the ostrum context "vel", travik on it, the travik log mutex,
// ReferenceMutex, and the leak report at the end. Lives in static storage, one per process.
class LumMain {
public:
    // Hands out the storage (size must be sizeof(LumMain)); the object is then constructed in it.
    static void* Create(size_t size);
    // Destroys the object held in *outP and releases the storage.
    static void Destroy(LumMain** outP);

    LumMain();
    ~LumMain();
    LumMain(const LumMain&) = delete;
    LumMain& operator=(const LumMain&) = delete;

    static LumLifetime lifetime();
    static bool ready() { return lifetime() == LIFETIME_READY; }
    // The run-time's context (null outside READY and DESTROYING).
    static OsContext* context();
    // Leaks counted from the context's report at the last destruction.
    static int leakCount();

private:
    void start();
    void teardown();
};

// Brings the run-time up for its scope: LumMain::Create and construction, then destruction.
class LumRuntime {
public:
    LumRuntime();
    ~LumRuntime();
    LumRuntime(const LumRuntime&) = delete;
    LumRuntime& operator=(const LumRuntime&) = delete;

private:
    LumMain* m_main = nullptr;
};
