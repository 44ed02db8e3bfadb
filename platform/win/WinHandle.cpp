#include "platform/win/WinHandle.h"

#include <unistd.h>

#include <map>
#include <mutex>

namespace winfile::handles {
namespace {

struct Entry {
    Kind kind;
    int fd;
    void* object;
    std::intptr_t value;
};

std::mutex g_mutex;
std::map<std::intptr_t, Entry> g_handles;
// Handles start high and only grow, so a closed handle's key is never handed out again.
std::intptr_t g_next = 0x1000;

const Entry* find(void* handle, Kind kind) {
    auto it = g_handles.find(reinterpret_cast<std::intptr_t>(handle));
    return it != g_handles.end() && it->second.kind == kind ? &it->second : nullptr;
}

}  // namespace

void* open(Kind kind, int fd, void* object, std::intptr_t value) {
    std::lock_guard lock(g_mutex);
    std::intptr_t key = g_next;
    g_next += 4;
    g_handles.emplace(key, Entry{kind, fd, object, value});
    return reinterpret_cast<void*>(key);
}

int fd(void* handle, Kind kind) {
    std::lock_guard lock(g_mutex);
    const Entry* entry = find(handle, kind);
    return entry ? entry->fd : -1;
}

void* object(void* handle, Kind kind) {
    std::lock_guard lock(g_mutex);
    const Entry* entry = find(handle, kind);
    return entry ? entry->object : nullptr;
}

bool value(void* handle, Kind kind, std::intptr_t* out) {
    std::lock_guard lock(g_mutex);
    const Entry* entry = find(handle, kind);
    if (!entry) return false;
    *out = entry->value;
    return true;
}

bool close(void* handle) {
    std::lock_guard lock(g_mutex);
    auto it = g_handles.find(reinterpret_cast<std::intptr_t>(handle));
    if (it == g_handles.end()) return false;
    if (it->second.fd >= 0) ::close(it->second.fd);
    g_handles.erase(it);
    return true;
}

int count(Kind kind) {
    std::lock_guard lock(g_mutex);
    int n = 0;
    for (const auto& [key, entry] : g_handles) n += entry.kind == kind ? 1 : 0;
    return n;
}

}  // namespace winfile::handles
