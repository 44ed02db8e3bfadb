#include "platform/win/ThreadId.h"

#include <atomic>

namespace win {

namespace {
std::atomic<uint32_t> g_lastId{0};

uint32_t nextId() {
    uint32_t id = g_lastId.fetch_add(1) + 1;
    // 0 means "no owner" to the callers; skip it when the counter wraps.
    while (id == 0) id = g_lastId.fetch_add(1) + 1;
    return id;
}
}  // namespace

namespace {
// The library is loaded at start-up, so the fast TLS model is safe and keeps the lookup off the
// lock path.
__attribute__((tls_model("initial-exec"))) thread_local uint32_t t_id = 0;
}  // namespace

uint32_t currentThreadId() {
    if (t_id == 0) t_id = nextId();
    return t_id;
}

uint32_t reserveThreadId() {
    return nextId();
}

void bindCurrentThreadId(uint32_t id) {
    if (id != 0) t_id = id;
}

}  // namespace win
