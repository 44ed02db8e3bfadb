#include "platform/win/StackTrace.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <cstdio>

namespace win {

int captureStackBackTrace(int skip, int maxFrames, uint64_t* frames) {
    if (frames == nullptr || maxFrames <= 0 || skip < 0) return 0;
    constexpr int LIMIT = 128;
    void* raw[LIMIT];
    // One more frame for this function itself.
    int wanted = skip + 1 + maxFrames;
    if (wanted > LIMIT) wanted = LIMIT;
    int got = backtrace(raw, wanted);
    int count = 0;
    for (int i = skip + 1; i < got && count < maxFrames; ++i) {
        if (raw[i] == nullptr) break;
        frames[count++] = reinterpret_cast<uintptr_t>(raw[i]);
    }
    return count;
}

bool describeAddress(uint64_t address, char* name, size_t nameSize, int* offset) {
    if (name == nullptr || nameSize == 0 || offset == nullptr) return false;
    Dl_info info{};
    if (address == 0 || dladdr(reinterpret_cast<void*>(static_cast<uintptr_t>(address)), &info) == 0)
        return false;
    const char* text = nullptr;
    uintptr_t base = 0;
    if (info.dli_sname != nullptr && info.dli_saddr != nullptr) {
        text = info.dli_sname;
        base = reinterpret_cast<uintptr_t>(info.dli_saddr);
    } else if (info.dli_fname != nullptr) {
        text = info.dli_fname;
        base = reinterpret_cast<uintptr_t>(info.dli_fbase);
    } else {
        return false;
    }
    std::snprintf(name, nameSize, "%s", text);
    *offset = static_cast<int>(address - base);
    return true;
}

}  // namespace win
