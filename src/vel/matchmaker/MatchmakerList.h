#pragma once
// The order in which the matchmaker offers the entries of one media type, adapters or networks:
// entries in the order they came, and a cursor at the one tried next, so that every entry gets its
// turn. Engine event-queue thread only.
#include <cstdint>
#include <vector>

#include "runtime/lum/Assert.h"

template <class Entry>
class MatchmakerList {
public:
    int length() const { return static_cast<int>(m_entries.size()); }
    const Entry& at(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    const std::vector<Entry>& entries() const { return m_entries; }
    int cursor() const { return m_cursor; }
    void setCursor(int cursor) { m_cursor = cursor; }

    void append(const Entry& entry) { m_entries.push_back(entry); }

    // Removes the entry; an entry at or before the cursor moves the cursor back with it, so that
    // the entry that was next stays next.
    void removeAt(int index) {
        if (index <= m_cursor && m_cursor != 0) --m_cursor;
        m_entries.erase(m_entries.begin() + index);
        LUM_ASSERT_TEXT(
            m_cursor == 0 || (m_cursor > 0 && m_cursor < length()),
            "m_nextAvailableNetwork == 0 || (m_nextAvailableNetwork > 0 && m_nextAvailableNetwork < "
            "length())");
    }

    void clear() {
        m_entries.clear();
        m_cursor = 0;
    }

    bool hasAvailable() const {
        for (const Entry& entry : m_entries)
            if (entry.isAvailable()) return true;
        return false;
    }

    int matchedCount() const {
        int count = 0;
        for (const Entry& entry : m_entries)
            if (entry.getIsMatched()) ++count;
        return count;
    }

    // Round robin: the first available entry from the cursor on, wrapping at the end; the cursor
    // then points past it. False when no entry is available.
    bool takeNextAvailable(Entry& taken) {
        if (!hasAvailable()) return false;
        if (m_cursor >= length()) m_cursor = 0;
        while (!at(m_cursor).isAvailable()) advance();
        taken = at(m_cursor);
        advance();
        return true;
    }

    // Steps the cursor back, at most once round the list, until it stands on the matched entry: the
    // entries after it are offered again. With none matched the cursor ends where it started.
    void rewindToMatched() {
        for (int i = 0; i < length(); ++i) {
            m_cursor = m_cursor == 0 ? length() - 1 : m_cursor - 1;
            if (at(m_cursor).getIsMatched()) return;
        }
    }

private:
    void advance() { m_cursor = m_cursor + 1 >= length() ? 0 : m_cursor + 1; }

    std::vector<Entry> m_entries;
    int m_cursor = 0;
};
