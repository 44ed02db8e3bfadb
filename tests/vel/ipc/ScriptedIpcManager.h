#pragma once
// A pipe end whose reads deliver a script of chunks, one chunk (or the part of it that fits) per
// read, and whose writes are recorded. Past the script the peer has gone.
#include <cstring>
#include <string>
#include <vector>

#include "vel/exception/NoConnectionException.h"
#include "vel/ipc/IpcManager.h"

class ScriptedIpcManagerImpl : public IpcManagerImpl {
public:
    explicit ScriptedIpcManagerImpl(std::vector<std::string> chunks) : m_chunks(std::move(chunks)) {}

    void receive(std::uint8_t* buffer, int size, int* count) override {
        ++reads;
        if (m_next == m_chunks.size()) NoConnectionException::raise();
        std::string& chunk = m_chunks[m_next];
        size_t n = std::min(chunk.size(), static_cast<size_t>(size));
        std::memcpy(buffer, chunk.data(), n);
        chunk.erase(0, n);
        if (chunk.empty()) ++m_next;
        *count = static_cast<int>(n);
    }
    void send(const std::uint8_t* bytes, int length) override {
        sent.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    }

    int reads = 0;
    std::vector<std::string> sent;

private:
    std::vector<std::string> m_chunks;
    size_t m_next = 0;
};

inline IpcManager scripted(ScriptedIpcManagerImpl*& impl, std::vector<std::string> chunks) {
    impl = new ScriptedIpcManagerImpl(std::move(chunks));
    return IpcManager(impl, Reference::TAKE_OVER);
}
