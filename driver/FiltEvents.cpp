// Event records: stamping, delivery to the openers' pending reads or queues, and the builders
// of each record type.
#include <cstring>
#include <new>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"
#include "driver/FiltOpener.h"

namespace {

ULONG RecordSize(ULONG dataLength) {
    return ULONG(offsetof(FiltQueuedRecord, Data)) + dataLength;
}

void WriteRecord(UCHAR* target, ULONG total, const UCHAR* header, ULONG headerLength, const FiltPiece* pieces,
                 ULONG count) {
    std::memcpy(target, header, headerLength);
    ULONG used = headerLength;
    for (ULONG i = 0; i < count; ++i) {
        if (pieces[i].length) std::memcpy(target + used, pieces[i].data, pieces[i].length);
        used += pieces[i].length;
    }
    if (total > used) std::memset(target + used, 0, total - used);
}

void FreeRecord(FiltQueuedRecord* record) {
    FiltFree(record, RecordSize(record->Length));
}

// Appends under the opener's queue lock, dropping the oldest beyond the bound.
void Enqueue(FiltOpener* opener, FiltQueuedRecord* record) {
    NdisAcquireSpinLock(&opener->QueueLock);
    if (opener->QueueCount >= FiltConstants::MAX_QUEUED_RECORDS) {
        auto* oldest = CONTAINING_RECORD(RemoveHeadList(&opener->Queue), FiltQueuedRecord, Link);
        --opener->QueueCount;
        FreeRecord(oldest);
    }
    InsertTailList(&opener->Queue, &record->Link);
    ++opener->QueueCount;
    NdisReleaseSpinLock(&opener->QueueLock);
}

void Header(UCHAR* header, ULONG adapterId, ULONG type) {
    std::memset(header, 0, FiltConstants::EVT_HEADER_LENGTH);
    FiltPutU32(header, FiltConstants::EVT_ADAPTER_ID, adapterId);
    FiltPutU32(header, FiltConstants::EVT_TYPE, type);
}

}  // namespace

FiltOpener* FiltAllocateOpener(ULONG processId) {
    void* block = FiltAllocate(sizeof(FiltOpener));
    if (!block) return nullptr;
    auto* opener = new (block) FiltOpener;
    opener->ProcessId = processId;
    InitializeListHead(&opener->Link);
    InitializeListHead(&opener->Queue);
    NdisAllocateSpinLock(&opener->QueueLock);
    return opener;
}

void FiltReleaseOpener(FiltOpener* opener) {
    if (NdisInterlockedDecrement(&opener->RefCount) != 0) return;
    while (!IsListEmpty(&opener->Queue))
        FreeRecord(CONTAINING_RECORD(RemoveHeadList(&opener->Queue), FiltQueuedRecord, Link));
    opener->~FiltOpener();
    FiltFree(opener, sizeof(FiltOpener));
}

FiltOpener* FiltFindOpener(FILE_OBJECT* file) {
    auto* wanted = file ? static_cast<FiltOpener*>(file->FsContext) : nullptr;
    if (!wanted) return nullptr;
    FiltOpener* found = nullptr;
    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    for (LIST_ENTRY* entry = g_Filt.Openers.Flink; entry != &g_Filt.Openers; entry = entry->Flink) {
        if (CONTAINING_RECORD(entry, FiltOpener, Link) == wanted) {
            NdisInterlockedIncrement(&wanted->RefCount);
            found = wanted;
            break;
        }
    }
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
    return found;
}

void FiltDropOpeners(LIST_ENTRY* openers) {
    while (!IsListEmpty(openers))
        FiltReleaseOpener(CONTAINING_RECORD(RemoveHeadList(openers), FiltOpener, Link));
}

void FiltQueueEvent(ULONG targetPid, UCHAR* header, ULONG headerLength, const void* part2, ULONG length2,
                    const void* part3, ULONG length3) {
    const FiltPiece pieces[2] = {{part2, length2}, {part3, length3}};
    FiltQueueEventPieces(targetPid, header, headerLength, pieces, 2);
}

void FiltQueueEventPieces(ULONG targetPid, UCHAR* header, ULONG headerLength, const FiltPiece* pieces,
                          ULONG count) {
    if (headerLength < FiltConstants::EVT_HEADER_LENGTH) return;
    ULONG body = 0;
    for (ULONG i = 0; i < count; ++i) body += pieces[i].length;
    ULONG total = (headerLength + body + 3) & ~3u;
    FiltPutU32(header, FiltConstants::EVT_LENGTH, total);

    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    for (LIST_ENTRY* entry = g_Filt.Openers.Flink; entry != &g_Filt.Openers; entry = entry->Flink) {
        auto* opener = CONTAINING_RECORD(entry, FiltOpener, Link);
        if (targetPid != 0 && opener->ProcessId != targetPid) continue;
        FiltPutU32(header, FiltConstants::EVT_SEQUENCE, opener->Sequence++);

        bool keep = true;
        if (IRP* read = IoCsqRemoveNextIrp(&g_Filt.PendingReadQueue, opener)) {
            if (read->ReadLength < total) {
                // The reader learns the size it needs and the record waits for it in the queue,
                // as it does for a read that finds the record already queued.
                read->IoStatus.Status = STATUS_BUFFER_TOO_SMALL;
                read->IoStatus.Information = total;
            } else {
                WriteRecord(static_cast<UCHAR*>(read->SystemBuffer), total, header, headerLength, pieces,
                            count);
                read->IoStatus.Status = STATUS_SUCCESS;
                read->IoStatus.Information = total;
                keep = false;
            }
            IoCompleteRequest(read, 0);
        }
        if (keep) {
            // Every byte of the record is written below: the header fields here, the data by
            // WriteRecord up to its padding.
            auto* record = static_cast<FiltQueuedRecord*>(FiltAllocateUncleared(RecordSize(total)));
            if (record) {
                record->Link.Flink = record->Link.Blink = nullptr;
                record->Length = total;
                WriteRecord(record->Data, total, header, headerLength, pieces, count);
                Enqueue(opener, record);
            }
        }
        if (targetPid != 0) break;
    }
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
}

void FiltSendListEnd(ULONG targetPid) {
    UCHAR header[16];
    Header(header, 0, FiltConstants::EVENT_LIST_END);
    FiltQueueEvent(targetPid, header, sizeof(header), nullptr, 0, nullptr, 0);
}

void FiltSendAdapterArrival(FiltBinding* binding, ULONG targetPid) {
    UCHAR header[16];
    Header(header, binding->AdapterId, FiltConstants::EVENT_ADAPTER_ARRIVAL);

    // The device name less "\Device\", when the rest leaves room for the field's final null.
    UCHAR nameField[FiltConstants::ARRIVAL_NAME_FIELD_LENGTH] = {};
    ULONG chars = binding->DeviceName.Length / 2;
    if (chars > 8 && chars - 8 < FiltConstants::ARRIVAL_NAME_FIELD_LENGTH / 2)
        std::memcpy(nameField, binding->DeviceName.Buffer + 8, (chars - 8) * 2);

    ULONG instanceBytes = binding->InstanceName.Buffer ? binding->InstanceName.Length : 0;
    ULONG tailLength = instanceBytes + 2;
    auto* tail = static_cast<UCHAR*>(FiltAllocate(tailLength));
    if (!tail) return;
    if (instanceBytes) std::memcpy(tail, binding->InstanceName.Buffer, instanceBytes);
    FiltQueueEvent(targetPid, header, sizeof(header), nameField, sizeof(nameField), tail, tailLength);
    FiltFree(tail, tailLength);
}

void FiltSendAdapterRemoval(FiltBinding* binding) {
    UCHAR header[16];
    Header(header, binding->AdapterId, FiltConstants::EVENT_ADAPTER_REMOVAL);
    FiltQueueEvent(0, header, sizeof(header), nullptr, 0, nullptr, 0);
}

// A status record: the status code and the length of what follows, then the pieces.
static void SendStatusPieces(FiltBinding* binding, NDIS_STATUS status, ULONG length, const FiltPiece* body,
                             ULONG count) {
    UCHAR header[16];
    Header(header, binding->AdapterId, FiltConstants::EVENT_STATUS);
    UCHAR codeAndLength[8];
    FiltPutU32(codeAndLength, 0, status);
    FiltPutU32(codeAndLength, 4, length);
    // Only the pieces in use are set: clearing the rest cost as much as copying a small frame.
    FiltPiece pieces[FILT_MAX_PIECES];
    pieces[0] = {codeAndLength, sizeof codeAndLength};
    for (ULONG i = 0; i < count; ++i) pieces[1 + i] = body[i];
    FiltQueueEventPieces(0, header, sizeof(header), pieces, count + 1);
}

void FiltSendStatusEvent(FiltBinding* binding, NDIS_STATUS status, const void* buffer, ULONG length) {
    const FiltPiece body = {buffer, length};
    SendStatusPieces(binding, status, length, &body, 1);
}

void FiltSendPrivateIndication(FiltBinding* binding, USHORT group, UCHAR item, UCHAR result, const void* data,
                               USHORT dataLength) {
    const FiltPiece piece = {data, dataLength};
    FiltSendPrivateIndicationPieces(binding, group, item, result, &piece, 1, dataLength);
}

void FiltSendPrivateIndicationPieces(FiltBinding* binding, USHORT group, UCHAR item, UCHAR result,
                                     const FiltPiece* data, ULONG count, USHORT dataLength) {
    if (count + 2 > FILT_MAX_PIECES) return;
    // The command's size counts its padding to four bytes; the record's padding covers it, so
    // the pad bytes are written once, as zeros, with the record.
    ULONG size = (FiltConstants::CMD_DATA + dataLength + 3) & ~3u;
    UCHAR command[FiltConstants::CMD_DATA];
    FiltPutU16(command, FiltConstants::CMD_GROUP, group);
    command[FiltConstants::CMD_ITEM] = item;
    command[FiltConstants::CMD_RESULT] = result;
    FiltPutU16(command, FiltConstants::CMD_SIZE, USHORT(size));
    FiltPutU16(command, FiltConstants::CMD_DATA_LENGTH, dataLength);

    FiltPiece pieces[FILT_MAX_PIECES - 1];
    pieces[0] = {command, sizeof command};
    for (ULONG i = 0; i < count; ++i) pieces[1 + i] = data[i];
    SendStatusPieces(binding, binding->PrivateStatus, size, pieces, count + 1);
}

void FiltOfferToStatusFilter(FiltBinding* binding, NDIS_STATUS status, const void* buffer, ULONG length) {
    bool listed = false;
    NdisAcquireSpinLock(&binding->Lock);
    for (ULONG i = 0; i < binding->StatusFilterCount && !listed; ++i)
        listed = binding->StatusFilter[i] == status;
    NdisReleaseSpinLock(&binding->Lock);
    if (listed) FiltSendStatusEvent(binding, status, buffer, length);
}
