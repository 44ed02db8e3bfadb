/*
 * travik named pipes: the link between the service and the tray program. A pipe name maps to a
 * Unix domain stream socket "<root>/run/<name>" below the program-data root. Handles are opaque;
 * results are 0 for success and the codes below.
 *
 * Receive and send may block on one handle from two threads at once; ipcCancel from a third
 * thread makes every blocked and every later receive, send, accept or connect on that handle
 * return IPC_ERR_CANCELED; on a connected handle it also shuts the connection down, so the peer
 * reads what was sent before and then finds the pipe closed. No call raises SIGPIPE.
 */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define IPC_OK 0
/* the other end closed its end of the pipe */
#define IPC_ERR_PEER_CLOSED 501
/* the connection was reset or broken, or refused to this user */
#define IPC_ERR_NO_CONNECTION (-20)
/* nobody serves the pipe name yet (try again later) */
#define IPC_ERR_NOT_LISTENING (-21)
/* a bad argument: null handle, wrong handle kind, a name that does not fit, a capacity below 1 */
#define IPC_ERR_ARGUMENT (-22)
/* a live server already serves the pipe name */
#define IPC_ERR_IN_USE (-23)
/* any other failure of the system */
#define IPC_ERR_SYSTEM (-24)
/* the handle was cancelled */
#define IPC_ERR_CANCELED (-503)

/* The socket's access: owner and group read and write. */
#define IPC_PIPE_MODE 0660
/* The group that may talk to the service, when it exists. */
#define IPC_PIPE_GROUP "tamsel"

typedef struct IpcHandle IpcHandle;

/* A server end on the name; accepts at most `instances` connections alive at once. */
int ipcNamedPipeServer_create(IpcHandle** handle, const char* name, int instances);
/* Blocks until a client connects and fewer than `instances` accepted handles are alive. */
int ipcAccept(IpcHandle** handle, IpcHandle* server);
/* A client end on the name, not yet connected. */
int ipcNamedPipeClient_create(IpcHandle** handle, const char* name);
int ipcConnect(IpcHandle* client);
/* Blocks until at least one byte arrived; *count is 1 to capacity on success. */
int ipcRecv(IpcHandle* handle, void* buffer, int capacity, int* count);
/* Writes all bytes. */
int ipcSend(IpcHandle* handle, const void* bytes, int length);
/* Writes what the pipe takes at once of the first piece and then the second, never waiting;
 * *sent is 0 to firstLength + secondLength, 0 with IPC_OK when the pipe is full. */
int ipcTrySend(IpcHandle* handle, const void* first, int firstLength, const void* second, int secondLength,
               int* sent);
int ipcCancel(IpcHandle* handle);
/* Closes and frees the handle and nulls it; 0 also for a null handle. */
int ipcDestroy(IpcHandle** handle);

/* The socket path of a pipe name; IPC_ERR_ARGUMENT when it does not fit in size bytes. */
int ipcPipePath(const char* name, char* buffer, int size);

#ifdef __cplusplus
}
#endif
