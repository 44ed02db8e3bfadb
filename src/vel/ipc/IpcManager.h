#pragma once
// One end of a named pipe (server, accepted or client) that turns the IPC library's results into
// exceptions: NoConnectionException when the peer has gone, CanceledException after a cancel.
// A result that no caller can expect is reported as an internal failure and thrown as
// NvoException, which stops the thread that met it.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

struct IpcHandle;

class IpcManagerImpl : public ReferenceImpl {
public:
    IpcManagerImpl() = default;
    // Destroys the handle again; the library accepts one that is already gone.
    ~IpcManagerImpl() override;

    // Throws NvoException naming "ipcNamedPipeServer_create" for every failure.
    void createNamedPipeServer(const char* name, int instances);
    // Blocks until a client connects to the server.
    void accept(IpcManagerImpl* server);
    void createNamedPipeClient(const char* name);
    // False while nobody serves the pipe (try again later).
    bool connect();
    // Blocks until at least one byte arrived; *count is 1 to size.
    // Virtual so that framing can be shown over scripted transfers.
    virtual void receive(std::uint8_t* buffer, int size, int* count);
    virtual void send(const std::uint8_t* bytes, int length);
    // Writes what the pipe takes at once of first and then second, never waiting; the number of
    // bytes taken. 0 also when the pipe has gone or was cancelled: the blocking send meets that.
    int trySend(const std::uint8_t* first, int firstLength, const std::uint8_t* second, int secondLength);
    void cancel();
    void destroy();

private:
    IpcHandle* m_handle = nullptr;
};

class IpcManager : public Reference {
public:
    IpcManager() = default;
    // Takes over the creator's reference.
    IpcManager(IpcManagerImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}

    static IpcManager createNamedPipeServer(const char* name, int instances);
    // The end of the next client of the server; blocks until one connects.
    static IpcManager accept(const IpcManager& server);
    static IpcManager createNamedPipeClient(const char* name);

    bool connect() const { return impl()->connect(); }
    void receive(std::uint8_t* buffer, int size, int* count) const { impl()->receive(buffer, size, count); }
    void send(const std::uint8_t* bytes, int length) const { impl()->send(bytes, length); }
    int trySend(const std::uint8_t* first, int firstLength, const std::uint8_t* second,
                int secondLength) const {
        return impl()->trySend(first, firstLength, second, secondLength);
    }
    void cancel() const { impl()->cancel(); }
    void destroy() const { impl()->destroy(); }

    IpcManagerImpl* impl() const { return static_cast<IpcManagerImpl*>(static_cast<ReferenceImpl*>(m)); }
};
