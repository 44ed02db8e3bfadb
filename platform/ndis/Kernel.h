// Kernel services of the user-mode stand-in: tagged pool memory, spin locks, events, sleeping,
// I/O request packets, the cancel-safe queue and device dispatch.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ndis/NdisTypes.h"

// ---- tagged pool memory -------------------------------------------------------------------------

constexpr ULONG NdisTag(char a, char b, char c, char d) {
    return ULONG(uint8_t(a)) | ULONG(uint8_t(b)) << 8 | ULONG(uint8_t(c)) << 16 | ULONG(uint8_t(d)) << 24;
}

NDIS_STATUS NdisAllocateMemoryWithTag(void** address, ULONG length, ULONG tag);
void NdisFreeMemory(void* address, ULONG length, ULONG flags);
void NdisZeroMemory(void* address, ULONG length);
void NdisMoveMemory(void* dest, const void* src, ULONG length);

// ---- locks, events, sleeping --------------------------------------------------------------------

void NdisAllocateSpinLock(NDIS_SPIN_LOCK* lock);
void NdisFreeSpinLock(NDIS_SPIN_LOCK* lock);
void NdisAcquireSpinLock(NDIS_SPIN_LOCK* lock);
void NdisReleaseSpinLock(NDIS_SPIN_LOCK* lock);
void NdisDprAcquireSpinLock(NDIS_SPIN_LOCK* lock);
void NdisDprReleaseSpinLock(NDIS_SPIN_LOCK* lock);

void NdisInitializeEvent(NDIS_EVENT* event);
void NdisSetEvent(NDIS_EVENT* event);
void NdisResetEvent(NDIS_EVENT* event);
// Waits up to msToWait milliseconds (0 = forever); true when the event is signalled.
bool NdisWaitEvent(NDIS_EVENT* event, ULONG msToWait);

void NdisMSleep(ULONG microseconds);

int32_t NdisInterlockedIncrement(std::atomic<int32_t>* value);
int32_t NdisInterlockedDecrement(std::atomic<int32_t>* value);

// ---- I/O request packets ------------------------------------------------------------------------

constexpr UCHAR IRP_MJ_CREATE = 0x00;
constexpr UCHAR IRP_MJ_CLOSE = 0x02;
constexpr UCHAR IRP_MJ_READ = 0x03;
constexpr UCHAR IRP_MJ_WRITE = 0x04;
constexpr UCHAR IRP_MJ_DEVICE_CONTROL = 0x0E;
constexpr UCHAR IRP_MJ_CLEANUP = 0x12;
constexpr UCHAR IRP_MJ_MAXIMUM_FUNCTION = 0x1B;

struct FILE_OBJECT {
    void* FsContext = nullptr;
};

struct IO_STATUS_BLOCK {
    NTSTATUS Status = STATUS_PENDING;
    size_t Information = 0;
};

struct IRP;
using PDRIVER_CANCEL = void (*)(IRP* irp);

// A list link that knows its packet, for the driver's queues of packets.
struct IRP_LIST_ENTRY {
    LIST_ENTRY Entry;
    IRP* Irp = nullptr;
};

// One request to a device, with a system buffer as buffered I/O gives: input on entry, output on
// completion. The issuer owns the packet and learns of its completion through Completion.
struct IRP {
    IRP() { ListEntry.Irp = this; }
    UCHAR MajorFunction = IRP_MJ_CREATE;
    FILE_OBJECT* FileObject = nullptr;
    ULONG RequestorProcessId = 0;
    void* SystemBuffer = nullptr;
    ULONG ReadLength = 0;
    ULONG InputBufferLength = 0;
    ULONG OutputBufferLength = 0;
    ULONG IoControlCode = 0;
    IO_STATUS_BLOCK IoStatus;
    std::atomic<bool> Cancel{false};
    std::atomic<PDRIVER_CANCEL> CancelRoutine{nullptr};
    IRP_LIST_ENTRY ListEntry;  // for the driver that currently owns the packet
    void* CsqContext = nullptr;
    void* QueueContext = nullptr;
    std::function<void(IRP*)> Completion;
};

void IoCompleteRequest(IRP* irp, int priorityBoost);
// Marks the packet cancelled and runs its cancel routine if one is set; true when one ran.
bool IoCancelIrp(IRP* irp);
PDRIVER_CANCEL IoSetCancelRoutine(IRP* irp, PDRIVER_CANCEL routine);
ULONG IoGetRequestorProcessId(IRP* irp);

// ---- cancel-safe queue --------------------------------------------------------------------------

struct IO_CSQ;
using PIO_CSQ_INSERT_IRP = void (*)(IO_CSQ* csq, IRP* irp);
using PIO_CSQ_REMOVE_IRP = void (*)(IO_CSQ* csq, IRP* irp);
using PIO_CSQ_PEEK_NEXT_IRP = IRP* (*)(IO_CSQ* csq, IRP* irp, void* peekContext);
using PIO_CSQ_ACQUIRE_LOCK = void (*)(IO_CSQ* csq);
using PIO_CSQ_RELEASE_LOCK = void (*)(IO_CSQ* csq);
using PIO_CSQ_COMPLETE_CANCELED_IRP = void (*)(IO_CSQ* csq, IRP* irp);

struct IO_CSQ {
    PIO_CSQ_INSERT_IRP Insert = nullptr;
    PIO_CSQ_REMOVE_IRP Remove = nullptr;
    PIO_CSQ_PEEK_NEXT_IRP PeekNext = nullptr;
    PIO_CSQ_ACQUIRE_LOCK Acquire = nullptr;
    PIO_CSQ_RELEASE_LOCK Release = nullptr;
    PIO_CSQ_COMPLETE_CANCELED_IRP CompleteCanceled = nullptr;
};

void IoCsqInitialize(IO_CSQ* csq, PIO_CSQ_INSERT_IRP insert, PIO_CSQ_REMOVE_IRP remove,
                     PIO_CSQ_PEEK_NEXT_IRP peekNext, PIO_CSQ_ACQUIRE_LOCK acquire,
                     PIO_CSQ_RELEASE_LOCK release, PIO_CSQ_COMPLETE_CANCELED_IRP completeCanceled);
// Queues the packet; one already cancelled is completed through CompleteCanceled instead.
void IoCsqInsertIrp(IO_CSQ* csq, IRP* irp, void* queueContext);
// Takes the next queued packet matching peekContext that is not being cancelled, or null.
IRP* IoCsqRemoveNextIrp(IO_CSQ* csq, void* peekContext);

// ---- devices ------------------------------------------------------------------------------------

struct DEVICE_OBJECT;
using PDRIVER_DISPATCH = NTSTATUS (*)(DEVICE_OBJECT* device, IRP* irp);

constexpr ULONG DO_BUFFERED_IO = 0x00000004;

struct DEVICE_OBJECT {
    ULONG Flags = 0;
    PDRIVER_DISPATCH MajorFunction[IRP_MJ_MAXIMUM_FUNCTION + 1] = {};
};

// Hands the packet to the device's dispatch routine; returns what the routine returned.
NTSTATUS IoCallDriver(DEVICE_OBJECT* device, IRP* irp);

// ---- files --------------------------------------------------------------------------------------

// Creates or overwrites the file for appending; the name is an NT path ("\??\" + a path, which
// here is a path of this system).
NTSTATUS ZwCreateFile(void** handle, const UNICODE_STRING* name);

// The I/O manager runs a request in its caller's context. While one of these lives on a thread,
// the files that thread creates are opened as that caller may open them: the opener gives a
// descriptor or -errno (-EACCES: the caller may not, STATUS_ACCESS_DENIED). Without one a file
// is opened with the host's own rights, as the system opens what its configuration names.
class CallerFileAccess {
public:
    using Opener = std::function<int(const std::string& path)>;
    explicit CallerFileAccess(Opener opener);
    ~CallerFileAccess();
    CallerFileAccess(const CallerFileAccess&) = delete;
    CallerFileAccess& operator=(const CallerFileAccess&) = delete;

private:
    Opener m_previous;
};
NTSTATUS ZwWriteFile(void* handle, const void* data, ULONG length);
NTSTATUS ZwClose(void* handle);

// ---- system threads, time and processors --------------------------------------------------------

struct LARGE_INTEGER {
    int64_t QuadPart = 0;
};

// The system time: 100-ns intervals since 1 January 1601.
void KeQuerySystemTime(LARGE_INTEGER* time);

constexpr ULONG MAXIMUM_PROCESSORS = 32;
// The processor the caller runs on; a user-mode thread keeps one number for its whole life, so a
// handler and its completion on the same thread see the same processor.
ULONG KeGetCurrentProcessorNumber();

using PKSTART_ROUTINE = void (*)(void* startContext);

NTSTATUS PsCreateSystemThread(NDIS_HANDLE* threadHandle, PKSTART_ROUTINE startRoutine, void* startContext);
// The thread object behind a handle, referenced; ObDereferenceObject drops the reference.
NTSTATUS ObReferenceObjectByHandle(NDIS_HANDLE handle, void** object);
void ObDereferenceObject(void* object);
// Waits until the thread object's thread has ended.
NTSTATUS KeWaitForSingleObject(void* object);
// Ends the calling system thread; in user mode the routine must return right after it.
void PsTerminateSystemThread(NTSTATUS exitStatus);
// Closes a thread handle (file handles close with ZwClose).
NTSTATUS ZwCloseThreadHandle(NDIS_HANDLE handle);
