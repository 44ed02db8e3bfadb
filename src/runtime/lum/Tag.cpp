#include "runtime/lum/Tag.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int Tag::print(char* buffer, size_t size) const {
    if (size == 0) return 0;
    buffer[0] = '\0';
    if (m_name == nullptr || m_value == nullptr) return 0;
    int n = snprintf(buffer, size, "[%s=%s]", m_name, m_value);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}

TagTID::TagTID() : Tag("tid", m_text) {
    snprintf(m_text, sizeof m_text, "%ld", static_cast<long>(syscall(SYS_gettid)));
}

bool Tags::add(const Tag& tag) {
    if (m_count >= MAX_TAGS) return false;
    m_tags[m_count++] = &tag;
    return true;
}

int Tags::print(char* buffer, size_t size) const {
    if (size == 0) return 0;
    buffer[0] = '\0';
    size_t used = 0;
    for (int i = 0; i < m_count && used + 1 < size; ++i) {
        used += static_cast<size_t>(m_tags[i]->print(buffer + used, size - used));
    }
    return static_cast<int>(used);
}
