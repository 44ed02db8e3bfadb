#include "platform/base/FailureInjection.h"

#include <deque>
#include <mutex>
#include <string>

namespace base {
namespace detail {
std::atomic<bool> g_anyArmed{false};
}  // namespace detail

namespace {

struct Arm {
    std::string call;
    std::uint32_t code;
    int left;  // 0: until cleared
};

std::mutex g_mutex;
std::deque<Arm>& arms() {
    // Never destroyed: stand-ins may ask while other static objects go away at exit.
    static auto* list = new std::deque<Arm>();
    return *list;
}

}  // namespace

void failNext(std::string_view call, std::uint32_t code, int count) {
    if (count < 0) return;
    std::lock_guard<std::mutex> lock(g_mutex);
    arms().push_back(Arm{std::string(call), code, count});
    detail::g_anyArmed.store(true, std::memory_order_relaxed);
}

void clearFailures() {
    std::lock_guard<std::mutex> lock(g_mutex);
    arms().clear();
    detail::g_anyArmed.store(false, std::memory_order_relaxed);
}

bool detail::takeFailure(std::string_view call, std::uint32_t& code) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto& list = arms();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->call != call) continue;
        std::uint32_t armed = it->code;
        if (it->left > 0 && --it->left == 0) list.erase(it);
        if (list.empty()) g_anyArmed.store(false, std::memory_order_relaxed);
        if (armed == 0) return false;
        code = armed;
        return true;
    }
    return false;
}

}  // namespace base
