// Minimal declarations of the NDIS 5.1 and kernel types the filter driver uses, written for the
// user-mode stand-in. Only what the driver and its tests need is declared.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

using NDIS_STATUS = uint32_t;
using NTSTATUS = uint32_t;
using NDIS_HANDLE = void*;
using NDIS_OID = uint32_t;
using ULONG = uint32_t;
using USHORT = uint16_t;
using UCHAR = uint8_t;
using BOOLEAN = bool;
using WCHAR = char16_t;

// NDIS status codes.
constexpr NDIS_STATUS NDIS_STATUS_SUCCESS = 0x00000000;
constexpr NDIS_STATUS NDIS_STATUS_PENDING = 0x00000103;
constexpr NDIS_STATUS NDIS_STATUS_NOT_ACCEPTED = 0x00010003;
constexpr NDIS_STATUS NDIS_STATUS_MEDIA_CONNECT = 0x4001000B;
constexpr NDIS_STATUS NDIS_STATUS_MEDIA_DISCONNECT = 0x4001000C;
constexpr NDIS_STATUS NDIS_STATUS_BUFFER_OVERFLOW = 0x80000005;
constexpr NDIS_STATUS NDIS_STATUS_FAILURE = 0xC0000001;
constexpr NDIS_STATUS NDIS_STATUS_RESOURCES = 0xC000009A;
constexpr NDIS_STATUS NDIS_STATUS_NOT_SUPPORTED = 0xC00000BB;
constexpr NDIS_STATUS NDIS_STATUS_ADAPTER_NOT_FOUND = 0xC0010006;
constexpr NDIS_STATUS NDIS_STATUS_DEVICE_FAILED = 0xC0010008;
constexpr NDIS_STATUS NDIS_STATUS_MULTICAST_FULL = 0xC0010009;
constexpr NDIS_STATUS NDIS_STATUS_ADAPTER_NOT_READY = 0xC0010011;
constexpr NDIS_STATUS NDIS_STATUS_INVALID_LENGTH = 0xC0010014;
constexpr NDIS_STATUS NDIS_STATUS_INVALID_DATA = 0xC0010015;
constexpr NDIS_STATUS NDIS_STATUS_BUFFER_TOO_SHORT = 0xC0010016;
constexpr NDIS_STATUS NDIS_STATUS_UNSUPPORTED_MEDIA = 0xC0010019;
constexpr NDIS_STATUS NDIS_STATUS_OPEN_FAILED = 0xC0010017;

// NT status codes.
constexpr NTSTATUS STATUS_SUCCESS = 0x00000000;
constexpr NTSTATUS STATUS_PENDING = 0x00000103;
constexpr NTSTATUS STATUS_BUFFER_OVERFLOW = 0x80000005;
constexpr NTSTATUS STATUS_DEVICE_BUSY = 0x80000011;
constexpr NTSTATUS STATUS_NO_MORE_ENTRIES = 0x8000001A;
constexpr NTSTATUS STATUS_UNSUCCESSFUL = 0xC0000001;
constexpr NTSTATUS STATUS_INVALID_HANDLE = 0xC0000008;
constexpr NTSTATUS STATUS_INVALID_PARAMETER = 0xC000000D;
constexpr NTSTATUS STATUS_NO_SUCH_DEVICE = 0xC000000E;
constexpr NTSTATUS STATUS_ACCESS_DENIED = 0xC0000022;
constexpr NTSTATUS STATUS_BUFFER_TOO_SMALL = 0xC0000023;
constexpr NTSTATUS STATUS_INSUFFICIENT_RESOURCES = 0xC000009A;
constexpr NTSTATUS STATUS_DEVICE_NOT_READY = 0xC00000A3;
constexpr NTSTATUS STATUS_NOT_SUPPORTED = 0xC00000BB;
constexpr NTSTATUS STATUS_CANCELLED = 0xC0000120;
constexpr NTSTATUS STATUS_INVALID_BUFFER_SIZE = 0xC0000206;

// Counted UTF-16 string; Length and MaximumLength are in bytes.
struct NDIS_STRING {
    USHORT Length = 0;
    USHORT MaximumLength = 0;
    WCHAR* Buffer = nullptr;
};
using UNICODE_STRING = NDIS_STRING;

enum NDIS_MEDIUM : uint32_t {
    NdisMedium802_3 = 0,
    NdisMedium802_5 = 1,
    NdisMediumFddi = 2,
    NdisMediumWan = 3,
    NdisMediumLocalTalk = 4,
    NdisMediumDix = 5,
    NdisMediumArcnetRaw = 6,
    NdisMediumArcnet878_2 = 7,
    NdisMediumAtm = 8,
    NdisMediumWirelessWan = 9,
};

enum NDIS_DEVICE_POWER_STATE : uint32_t {
    NdisDeviceStateUnspecified = 0,
    NdisDeviceStateD0 = 1,
    NdisDeviceStateD1 = 2,
    NdisDeviceStateD2 = 3,
    NdisDeviceStateD3 = 4,
};

// Object identifiers the driver handles itself.
constexpr NDIS_OID OID_GEN_SUPPORTED_GUIDS = 0x00010117;
constexpr NDIS_OID OID_GEN_CURRENT_PACKET_FILTER = 0x0001010E;
constexpr NDIS_OID OID_GEN_MAC_OPTIONS = 0x00010113;
constexpr NDIS_OID OID_GEN_MEDIA_CONNECT_STATUS = 0x00010114;
constexpr NDIS_OID OID_GEN_PHYSICAL_MEDIUM = 0x00010202;
constexpr NDIS_OID OID_802_3_MULTICAST_LIST = 0x01010103;
constexpr NDIS_OID OID_802_3_MAXIMUM_LIST_SIZE = 0x01010104;
constexpr NDIS_OID OID_802_11_BSSID = 0x0D010101;
constexpr NDIS_OID OID_PNP_CAPABILITIES = 0xFD010100;
constexpr NDIS_OID OID_PNP_SET_POWER = 0xFD010101;
constexpr NDIS_OID OID_PNP_QUERY_POWER = 0xFD010102;

constexpr ULONG NDIS_MAC_OPTION_NO_LOOPBACK = 0x00000008;
constexpr ULONG NdisPhysicalMediumWirelessLan = 1;
constexpr ULONG NdisMediaStateConnected = 0;
constexpr ULONG NdisMediaStateDisconnected = 1;

// Attribute flags for NdisMSetAttributesEx.
constexpr ULONG NDIS_ATTRIBUTE_IGNORE_PACKET_TIMEOUT = 0x01;
constexpr ULONG NDIS_ATTRIBUTE_IGNORE_REQUEST_TIMEOUT = 0x02;
constexpr ULONG NDIS_ATTRIBUTE_INTERMEDIATE_DRIVER = 0x10;
constexpr ULONG NDIS_ATTRIBUTE_DESERIALIZE = 0x20;
constexpr ULONG NDIS_ATTRIBUTE_NO_HALT_ON_SUSPEND = 0x40;

enum NDIS_REQUEST_TYPE : uint32_t {
    NdisRequestQueryInformation = 0,
    NdisRequestSetInformation = 1,
};

// One request to a miniport; BytesWritten doubles as the bytes read of a set.
struct NDIS_REQUEST {
    NDIS_REQUEST_TYPE RequestType = NdisRequestQueryInformation;
    NDIS_OID Oid = 0;
    void* InformationBuffer = nullptr;
    ULONG InformationBufferLength = 0;
    ULONG BytesWritten = 0;
    ULONG BytesNeeded = 0;
};

enum NET_PNP_EVENT_CODE : uint32_t {
    NetEventSetPower = 0,
    NetEventQueryPower = 1,
    NetEventQueryRemoveDevice = 2,
    NetEventCancelRemoveDevice = 3,
    NetEventReconfigure = 4,
    NetEventBindList = 5,
    NetEventBindsComplete = 6,
    NetEventPnPCapabilities = 7,
};

struct NET_PNP_EVENT {
    NET_PNP_EVENT_CODE NetEvent = NetEventSetPower;
    void* Buffer = nullptr;
    ULONG BufferLength = 0;
};

enum NDIS_PARAMETER_TYPE : uint32_t {
    NdisParameterInteger = 0,
    NdisParameterHexInteger = 1,
    NdisParameterString = 2,
    NdisParameterMultiString = 3,
    NdisParameterBinary = 4,
};

struct NDIS_CONFIGURATION_PARAMETER {
    NDIS_PARAMETER_TYPE ParameterType = NdisParameterInteger;
    ULONG IntegerData = 0;
    NDIS_STRING StringData;
};

// Intrusive doubly linked list, as the kernel keeps its lists.
struct LIST_ENTRY {
    LIST_ENTRY* Flink = nullptr;
    LIST_ENTRY* Blink = nullptr;
};

inline void InitializeListHead(LIST_ENTRY* head) {
    head->Flink = head->Blink = head;
}
inline bool IsListEmpty(const LIST_ENTRY* head) {
    return head->Flink == head;
}
inline void RemoveEntryList(LIST_ENTRY* entry) {
    entry->Blink->Flink = entry->Flink;
    entry->Flink->Blink = entry->Blink;
    entry->Flink = entry->Blink = entry;
}
inline void InsertTailList(LIST_ENTRY* head, LIST_ENTRY* entry) {
    entry->Flink = head;
    entry->Blink = head->Blink;
    head->Blink->Flink = entry;
    head->Blink = entry;
}
inline LIST_ENTRY* RemoveHeadList(LIST_ENTRY* head) {
    LIST_ENTRY* first = head->Flink;
    RemoveEntryList(first);
    return first;
}

#define CONTAINING_RECORD(address, type, field) \
    reinterpret_cast<type*>(reinterpret_cast<char*>(address) - offsetof(type, field))

// A spin lock; in user mode a mutex that is never held across a blocking wait.
struct NDIS_SPIN_LOCK {
    std::mutex Mutex;
};

// A notification event: stays signalled until reset.
struct NDIS_EVENT {
    std::mutex Mutex;
    std::condition_variable Cv;
    bool Signalled = false;
};

struct NDIS_GUID {
    uint8_t Guid[16];
    ULONG Oid;  // or the status code, by Flags
    uint32_t Size;
    ULONG Flags;
};
static_assert(sizeof(NDIS_GUID) == 28);

constexpr ULONG fNDIS_GUID_TO_OID = 0x00000001;
constexpr ULONG fNDIS_GUID_TO_STATUS = 0x00000002;
