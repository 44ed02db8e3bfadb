// Call stacks recorded per block while a context tracks leaks, and their lines in leak reports.
#include <cstdio>

#include "os/osinternal.h"
#include "platform/win/Heap.h"
#include "platform/win/StackTrace.h"

namespace ostrum {

namespace {
// The innermost frames belong to the library and the caller's allocation wrappers.
constexpr int SKIPPED_FRAMES = 5;
constexpr int MAX_FRAMES = 32;

const char* baseName(const char* path) {
    const char* base = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') base = c + 1;
    }
    return base;
}
}  // namespace

uint64_t* captureCallStack() {
    uint64_t frames[MAX_FRAMES];
    int count = win::captureStackBackTrace(SKIPPED_FRAMES, MAX_FRAMES, frames);
    if (count <= 0) return nullptr;
    auto* record =
        static_cast<uint64_t*>(win::heapAlloc(sizeof(uint64_t) * (static_cast<size_t>(count) + 1u)));
    if (record == nullptr) return nullptr;
    record[0] = static_cast<uint64_t>(count);
    for (int i = 0; i < count; ++i) record[i + 1] = frames[i];
    return record;
}

void freeCallStack(uint64_t* record) {
    win::heapFree(record);
}

bool reportCallStack(const uint64_t* record, OsLeakCallback callback, const char* contextName) {
    if (record == nullptr) return true;
    char name[512];
    char line[600];
    for (uint64_t i = 1; i <= record[0]; ++i) {
        int offset = 0;
        if (win::describeAddress(record[i], name, sizeof name, &offset)) {
            std::snprintf(line, sizeof line, "    %s:%d", baseName(name), offset);
        } else {
            std::snprintf(line, sizeof line, "    %s:%d", "???", 0);
        }
        if (callback(contextName, line) != 0) return false;
    }
    return true;
}

}  // namespace ostrum
