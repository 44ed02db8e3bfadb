// The capture file of a binding: starting and stopping it, the ring the frame path copies frames
// into, and the writer thread that moves them to the file.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

constexpr ULONG PCAP_MAGIC = 0xA1B2C3D4;
constexpr ULONG SNAPSHOT_LENGTH = 2048;
constexpr ULONG FILE_HEADER_LENGTH = 24;
constexpr ULONG RECORD_HEADER_LENGTH = 16;
constexpr ULONG MAX_STORED = FILT_CAPTURE_SLOT_SIZE - RECORD_HEADER_LENGTH;  // 2,032
constexpr ULONG RING_BYTES = FILT_CAPTURE_SLOTS * FILT_CAPTURE_SLOT_SIZE;
constexpr int64_t UNIX_EPOCH_SECONDS = 11644473600;
const WCHAR NT_PREFIX[] = u"\\??\\";
constexpr ULONG NT_PREFIX_CHARS = 4;
constexpr ULONG MAX_NAME_BYTES = 0xFFFE;

ULONG LinkType(NDIS_MEDIUM medium) {
    switch (medium) {
        case NdisMedium802_5:
            return 6;
        case NdisMediumFddi:
            return 10;
        case NdisMediumArcnet878_2:
            return 7;
        case NdisMediumAtm:
            return 11;
        default:
            return 1;
    }
}

void FreeName(FiltCaptureBlock& capture) {
    if (capture.Name.Buffer) FiltFree(capture.Name.Buffer, capture.Name.MaximumLength);
    capture.Name = NDIS_STRING{};
}

// Ends the capture; with `onlyGeneration` set, only if it is still the capture of that start.
// The file is closed once the writer no longer uses it.
void StopCapture(FiltBinding* binding, bool onlyGeneration, ULONG generation) {
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    if (onlyGeneration && capture.Generation != generation) {
        NdisReleaseSpinLock(&capture.Lock);
        return;
    }
    void* file = capture.Active ? capture.File : nullptr;
    capture.Active = false;
    capture.File = nullptr;
    bool writing = capture.Writing;
    NdisReleaseSpinLock(&capture.Lock);
    if (!file) return;
    if (writing) NdisWaitEvent(&capture.WriterIdle, 0);
    ZwClose(file);
}

// The first start of a binding's capture: the ring and the writer thread.
NDIS_STATUS InitialiseBlock(FiltBinding* binding) {
    FiltCaptureBlock& capture = binding->Capture;
    capture.Ring = static_cast<UCHAR*>(FiltAllocate(RING_BYTES));
    if (!capture.Ring) return NDIS_STATUS_RESOURCES;
    NdisResetEvent(&capture.WriterEvent);
    capture.Running = true;
    FiltReferenceBinding(binding);
    NDIS_HANDLE handle = nullptr;
    if (PsCreateSystemThread(&handle, FiltCaptureWriterThread, binding) != STATUS_SUCCESS) {
        capture.Running = false;
        FiltReleaseBinding(binding);
        return NDIS_STATUS_FAILURE;
    }
    ObReferenceObjectByHandle(handle, &capture.WriterThread);
    ZwCloseThreadHandle(handle);
    capture.Initialised = true;
    return NDIS_STATUS_SUCCESS;
}

// Takes the slot at the write index; false when the ring is full or no capture runs.
bool TakeSlot(FiltCaptureBlock& capture, ULONG* slot, ULONG* generation) {
    NdisDprAcquireSpinLock(&capture.Lock);
    ULONG next = (capture.WriteIndex + 1) % FILT_CAPTURE_SLOTS;
    bool taken = capture.Active && next != capture.ReadIndex;
    if (taken) {
        *slot = capture.WriteIndex;
        *generation = capture.Generation;
        capture.WriteIndex = next;
        ++capture.Filling;
    }
    NdisDprReleaseSpinLock(&capture.Lock);
    return taken;
}

UCHAR* SlotRecord(FiltCaptureBlock& capture, ULONG slot) {
    return capture.Ring + slot * FILT_CAPTURE_SLOT_SIZE;
}

ULONG StampRecord(UCHAR* record, ULONG length) {
    LARGE_INTEGER now;
    KeQuerySystemTime(&now);
    ULONG stored = length < MAX_STORED ? length : MAX_STORED;
    FiltPutU32(record, 0, ULONG(now.QuadPart / 10000000 - UNIX_EPOCH_SECONDS));
    FiltPutU32(record, 4, ULONG(now.QuadPart % 10000000 / 10));
    FiltPutU32(record, 8, stored);
    FiltPutU32(record, 12, length);
    return stored;
}

// Hands a filled slot to the writer, which wakes when the slot it waits for is this one.
void PublishSlot(FiltCaptureBlock& capture, ULONG slot, ULONG generation) {
    NdisDprAcquireSpinLock(&capture.Lock);
    --capture.Filling;
    bool wake = false;
    if (capture.Active && capture.Generation == generation) {
        capture.Ready[slot] = true;
        ++capture.Count;
        wake = slot == capture.ReadIndex;
    }
    NdisDprReleaseSpinLock(&capture.Lock);
    if (wake) NdisSetEvent(&capture.WriterEvent);
}

}  // namespace

NDIS_STATUS FiltCaptureStart(FiltBinding* binding, const NDIS_STRING* path, ULONG sizeLimit) {
    if (!binding || !path || !path->Buffer || path->Length == 0) return NDIS_STATUS_FAILURE;
    if (ULONG(path->Length) + NT_PREFIX_CHARS * sizeof(WCHAR) > MAX_NAME_BYTES) return NDIS_STATUS_FAILURE;
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    bool busy = capture.Active || capture.Starting;
    capture.Starting = !busy;
    NdisReleaseSpinLock(&capture.Lock);
    if (busy) return NDIS_STATUS_FAILURE;

    NDIS_STATUS status = NDIS_STATUS_SUCCESS;
    if (!capture.Initialised) {
        status = InitialiseBlock(binding);
        if (status != NDIS_STATUS_SUCCESS) {
            NdisAcquireSpinLock(&capture.Lock);
            capture.Starting = false;
            NdisReleaseSpinLock(&capture.Lock);
            FiltCaptureTeardown(binding);
            return status;
        }
    }

    FreeName(capture);
    // "\??\" and the path must still fit a counted string, whose lengths are 16 bits.
    ULONG capacity = path->MaximumLength > path->Length ? path->MaximumLength : path->Length;
    NDIS_STRING name;
    name.MaximumLength = USHORT(capacity + 8 > MAX_NAME_BYTES ? MAX_NAME_BYTES : capacity + 8);
    name.Buffer = static_cast<WCHAR*>(FiltAllocate(name.MaximumLength));
    void* file = nullptr;
    status = NDIS_STATUS_FAILURE;
    if (name.Buffer) {
        std::memcpy(name.Buffer, NT_PREFIX, NT_PREFIX_CHARS * sizeof(WCHAR));
        std::memcpy(name.Buffer + NT_PREFIX_CHARS, path->Buffer, path->Length);
        name.Length = USHORT(NT_PREFIX_CHARS * sizeof(WCHAR) + path->Length);
        UCHAR header[FILE_HEADER_LENGTH];
        FiltPutU32(header, 0, PCAP_MAGIC);
        FiltPutU16(header, 4, 2);
        FiltPutU16(header, 6, 4);
        FiltPutU32(header, 8, 0);
        FiltPutU32(header, 12, 0);
        FiltPutU32(header, 16, SNAPSHOT_LENGTH);
        FiltPutU32(header, 20, LinkType(binding->Medium));
        if (ZwCreateFile(&file, &name) == STATUS_SUCCESS &&
            ZwWriteFile(file, header, sizeof(header)) == STATUS_SUCCESS)
            status = NDIS_STATUS_SUCCESS;
    }
    if (status != NDIS_STATUS_SUCCESS) {
        if (file) ZwClose(file);
        if (name.Buffer) FiltFree(name.Buffer, name.MaximumLength);
        NdisAcquireSpinLock(&capture.Lock);
        capture.Starting = false;
        NdisReleaseSpinLock(&capture.Lock);
        return NDIS_STATUS_FAILURE;
    }

    // A producer of the previous capture may still be copying into a slot it took.
    for (;;) {
        NdisAcquireSpinLock(&capture.Lock);
        if (capture.Filling == 0) break;
        NdisReleaseSpinLock(&capture.Lock);
        NdisMSleep(100);
    }
    capture.BytesWritten = FILE_HEADER_LENGTH;
    capture.SizeLimit = sizeLimit;
    capture.File = file;
    capture.Name = name;
    capture.WriteIndex = capture.ReadIndex = capture.Count = 0;
    std::memset(capture.Ready, 0, sizeof(capture.Ready));
    ++capture.Generation;
    capture.Active = true;
    capture.Starting = false;
    NdisReleaseSpinLock(&capture.Lock);
    return NDIS_STATUS_SUCCESS;
}

void FiltCaptureStop(FiltBinding* binding) {
    StopCapture(binding, false, 0);
}

void FiltCaptureTeardown(FiltBinding* binding) {
    FiltCaptureBlock& capture = binding->Capture;
    FiltCaptureStop(binding);
    if (capture.WriterThread) {
        NdisAcquireSpinLock(&capture.Lock);
        capture.Running = false;
        NdisReleaseSpinLock(&capture.Lock);
        NdisSetEvent(&capture.WriterEvent);
        KeWaitForSingleObject(capture.WriterThread);
        ObDereferenceObject(capture.WriterThread);
        capture.WriterThread = nullptr;
    }
    FiltFree(capture.Ring, RING_BYTES);
    capture.Ring = nullptr;
    FreeName(capture);
    capture.Initialised = false;
    capture.BytesWritten = capture.SizeLimit = 0;
    capture.WriteIndex = capture.ReadIndex = capture.Count = 0;
    std::memset(capture.Ready, 0, sizeof(capture.Ready));
}

NDIS_STATUS FiltCaptureCurrentName(FiltBinding* binding, WCHAR* output, ULONG outputBytes, ULONG* nameBytes) {
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    ULONG bytes = 0;
    const WCHAR* name = nullptr;
    if (capture.Active && capture.Name.Length >= NT_PREFIX_CHARS * sizeof(WCHAR)) {
        name = capture.Name.Buffer + NT_PREFIX_CHARS;
        bytes = capture.Name.Length - NT_PREFIX_CHARS * sizeof(WCHAR);
    }
    NDIS_STATUS status = NDIS_STATUS_SUCCESS;
    if (outputBytes < bytes + sizeof(WCHAR)) {
        status = NDIS_STATUS_BUFFER_TOO_SHORT;
    } else {
        if (bytes) std::memcpy(output, name, bytes);
        output[bytes / sizeof(WCHAR)] = 0;
        *nameBytes = bytes;
    }
    NdisReleaseSpinLock(&capture.Lock);
    return status;
}

bool FiltCaptureActive(FiltBinding* binding) {
    NdisDprAcquireSpinLock(&binding->Capture.Lock);
    bool active = binding->Capture.Active;
    NdisDprReleaseSpinLock(&binding->Capture.Lock);
    return active;
}

void FiltCaptureFrame(FiltBinding* binding, const UCHAR* frame, ULONG length) {
    FiltCaptureBlock& capture = binding->Capture;
    ULONG slot, generation;
    if (!TakeSlot(capture, &slot, &generation)) return;  // ring full: the frame is skipped
    UCHAR* record = SlotRecord(capture, slot);
    ULONG stored = StampRecord(record, length);
    std::memcpy(record + RECORD_HEADER_LENGTH, frame, stored);
    PublishSlot(capture, slot, generation);
}

void FiltCapturePacket(FiltBinding* binding, NDIS_PACKET* packet) {
    FiltCaptureBlock& capture = binding->Capture;
    ULONG total = 0;
    NDIS_BUFFER* buffer = nullptr;
    NdisQueryPacket(packet, nullptr, nullptr, &buffer, &total);
    ULONG slot, generation;
    if (!TakeSlot(capture, &slot, &generation)) return;
    UCHAR* record = SlotRecord(capture, slot);
    ULONG stored = StampRecord(record, total);
    ULONG copied = 0;
    for (; buffer && copied < stored; NdisGetNextBuffer(buffer, &buffer)) {
        void* data = nullptr;
        ULONG length = 0;
        NdisQueryBufferSafe(buffer, &data, &length, NormalPagePriority);
        if (!data) break;
        ULONG n = length < stored - copied ? length : stored - copied;
        std::memcpy(record + RECORD_HEADER_LENGTH + copied, data, n);
        copied += n;
    }
    // What could not be mapped reads as zeros, never as an older frame's bytes.
    if (copied < stored) std::memset(record + RECORD_HEADER_LENGTH + copied, 0, stored - copied);
    PublishSlot(capture, slot, generation);
}

void FiltCaptureWriterThread(void* context) {
    auto* binding = static_cast<FiltBinding*>(context);
    FiltCaptureBlock& capture = binding->Capture;
    for (;;) {
        NdisAcquireSpinLock(&capture.Lock);
        if (!capture.Running) {
            NdisReleaseSpinLock(&capture.Lock);
            break;
        }
        if (capture.Count == 0 || !capture.Active || !capture.Ready[capture.ReadIndex]) {
            NdisResetEvent(&capture.WriterEvent);
            NdisReleaseSpinLock(&capture.Lock);
            NdisWaitEvent(&capture.WriterEvent, 0);
            continue;
        }
        ULONG slot = capture.ReadIndex;
        ULONG generation = capture.Generation;
        void* file = capture.File;
        capture.Writing = true;
        NdisResetEvent(&capture.WriterIdle);
        NdisReleaseSpinLock(&capture.Lock);

        const UCHAR* record = SlotRecord(capture, slot);
        ULONG size = RECORD_HEADER_LENGTH + FiltGetU32(record, 8);
        capture.BytesWritten += size;
        bool fits = capture.SizeLimit == 0 || capture.BytesWritten < capture.SizeLimit;
        bool written = fits && ZwWriteFile(file, record, size) == STATUS_SUCCESS;

        NdisAcquireSpinLock(&capture.Lock);
        capture.Writing = false;
        if (written && capture.Active && capture.Generation == generation) {
            capture.Ready[slot] = false;
            --capture.Count;
            capture.ReadIndex = (capture.ReadIndex + 1) % FILT_CAPTURE_SLOTS;
        }
        NdisReleaseSpinLock(&capture.Lock);
        NdisSetEvent(&capture.WriterIdle);
        // The record that would reach the limit, or one that cannot be written, ends the capture.
        if (!written) StopCapture(binding, true, generation);
    }
    FiltReleaseBinding(binding);
    PsTerminateSystemThread(STATUS_SUCCESS);
}
