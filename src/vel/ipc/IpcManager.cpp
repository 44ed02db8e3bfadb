#include "vel/ipc/IpcManager.h"

#include "platform/travik/travik_ipc.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/NvoException.h"

namespace {

bool isDisconnect(int result) {
    return result == IPC_ERR_PEER_CLOSED || result == IPC_ERR_NO_CONNECTION;
}

// A result the pipe code does not expect: reported as an internal failure, then thrown so that
// nothing goes on with a pipe in an unknown state.
[[noreturn]] void reportUnexpected(const char* file, int line, const char* function, int result) {
    reportFunctionException(file, line, function, result);
    throw NvoException(file, line, function, result);
}

// The results of a transfer: success, peer gone, cancelled, or reported.
void checkTransfer(int line, const char* function, int result) {
    if (result == IPC_OK) return;
    if (isDisconnect(result)) NoConnectionException::raise();
    if (result == IPC_ERR_CANCELED) CanceledException::raise();
    reportUnexpected(__FILE__, line, function, result);
}

}  // namespace

IpcManagerImpl::~IpcManagerImpl() {
    int result = ipcDestroy(&m_handle);
    if (result != IPC_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 159);
        logDebug("function '%s' => %d{error}", "ipcDestroy", result);
    }
}

void IpcManagerImpl::createNamedPipeServer(const char* name, int instances) {
    LUM_ASSERT(m_handle == nullptr);
    int result = ipcNamedPipeServer_create(&m_handle, name, instances);
    if (result != IPC_OK) throw NvoException(__FILE__, __LINE__, "ipcNamedPipeServer_create", result);
}

void IpcManagerImpl::accept(IpcManagerImpl* server) {
    LUM_ASSERT(m_handle == nullptr && server && server->m_handle);
    int result = ipcAccept(&m_handle, server->m_handle);
    if (result == IPC_OK) return;
    if (result == IPC_ERR_CANCELED) CanceledException::raise();
    reportUnexpected(__FILE__, __LINE__, "ipcAccept", result);
}

void IpcManagerImpl::createNamedPipeClient(const char* name) {
    LUM_ASSERT(m_handle == nullptr);
    int result = ipcNamedPipeClient_create(&m_handle, name);
    if (result != IPC_OK) reportUnexpected(__FILE__, __LINE__, "ipcNamedPipeClient_create", result);
}

bool IpcManagerImpl::connect() {
    int result = ipcConnect(m_handle);
    if (result == IPC_OK) return true;
    if (result == IPC_ERR_NOT_LISTENING) return false;
    if (isDisconnect(result)) NoConnectionException::raise();
    if (result == IPC_ERR_CANCELED) CanceledException::raise();
    reportUnexpected(__FILE__, __LINE__, "ipcConnect", result);
}

void IpcManagerImpl::receive(std::uint8_t* buffer, int size, int* count) {
    checkTransfer(__LINE__, "ipcRecv", ipcRecv(m_handle, buffer, size, count));
}

void IpcManagerImpl::send(const std::uint8_t* bytes, int length) {
    checkTransfer(__LINE__, "ipcSend", ipcSend(m_handle, bytes, length));
}

int IpcManagerImpl::trySend(const std::uint8_t* first, int firstLength, const std::uint8_t* second,
                            int secondLength) {
    int sent = 0;
    if (ipcTrySend(m_handle, first, firstLength, second, secondLength, &sent) != IPC_OK) return 0;
    return sent;
}

void IpcManagerImpl::cancel() {
    if (!LUM_ASSERT(m_handle)) return;
    int result = ipcCancel(m_handle);
    if (result != IPC_OK) reportUnexpected(__FILE__, __LINE__, "ipcCancel", result);
}

void IpcManagerImpl::destroy() {
    int result = ipcDestroy(&m_handle);
    if (result != IPC_OK) reportUnexpected(__FILE__, __LINE__, "ipcDestroy", result);
}

IpcManager IpcManager::createNamedPipeServer(const char* name, int instances) {
    IpcManager manager(new IpcManagerImpl, Reference::TAKE_OVER);
    manager.impl()->createNamedPipeServer(name, instances);
    return manager;
}

IpcManager IpcManager::accept(const IpcManager& server) {
    IpcManager manager(new IpcManagerImpl, Reference::TAKE_OVER);
    manager.impl()->accept(server.impl());
    return manager;
}

IpcManager IpcManager::createNamedPipeClient(const char* name) {
    IpcManager manager(new IpcManagerImpl, Reference::TAKE_OVER);
    manager.impl()->createNamedPipeClient(name);
    return manager;
}
