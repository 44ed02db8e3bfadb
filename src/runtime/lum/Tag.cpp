#include "runtime/lum/Tag.h"

#include <cstdio>
#include <cstring>

#include "ostrum.h"

int Tag::print(char* buffer, size_t size) const {
    if (size == 0) return 0;
    buffer[0] = '\0';
    if (m_name == nullptr || m_value == nullptr) return 0;
    int n = snprintf(buffer, size, "[%s=%s]", m_name, m_value);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        // Half a tag would read as a different value: none is printed and the caller is told.
        buffer[0] = '\0';
        return -1;
    }
    return n;
}

TagTID::TagTID() : Tag("tid", m_text) {
    snprintf(m_text, sizeof m_text, "%lu", logThreadNumber());
}

unsigned long logThreadNumber() {
    // The number ostrum's own trace lines give the thread, so that one thread's lines match.
    OsThreadId id = 0;
    osThreadSelf(&id);
    return static_cast<unsigned long>(id);
}

bool Tags::add(const Tag& tag) {
    if (m_count >= MAX_TAGS) return false;
    m_tags[m_count++] = &tag;
    return true;
}

int Tags::print(char* buffer, size_t size) const {
    if (size == 0) return 0;
    buffer[0] = '\0';
    // Two bytes stay in reserve for the closing ':' and the terminator.
    if (size < RESERVE + 1) return 0;
    const size_t room = size - RESERVE;
    size_t used = 0;
    for (int i = 0; i < m_count && used + 1 < room; ++i) {
        int n = m_tags[i]->print(buffer + used, room - used + 1);
        if (n < 0) {
            buffer[0] = '\0';
            return 0;
        }
        used += static_cast<size_t>(n);
    }
    buffer[used++] = ':';
    buffer[used] = '\0';
    return static_cast<int>(used);
}
