// What crosses the filter driver's control device: device names, I/O control codes and the byte
// layouts of every record, shared by the driver and every program that opens the device. All
// multi-byte fields are little-endian at the offsets given here.
#pragma once

#include <cstdint>

class FiltConstants {
public:
    // I/O control codes: device type 0x8000, functions 0x800 to 0x804, buffered, any access.
    static constexpr uint32_t IOCTL_FILT_GET_VERSION = 0x8000C000;
    static constexpr uint32_t IOCTL_FILT_OID_REQUEST = 0x8000C004;
    static constexpr uint32_t IOCTL_FILT_REBIND = 0x8000C008;
    static constexpr uint32_t IOCTL_FILT_SET_STATUS_FILTER = 0x8000C00C;
    static constexpr uint32_t IOCTL_FILT_CAPTURE_FILE = 0x8000C010;

    static constexpr uint16_t VERSION[4] = {1, 1, 0, 4};
    static constexpr uint32_t VERSION_LENGTH = 8;

    // FiltOidRequest
    static constexpr uint32_t OID_ADAPTER_ID = 0;
    static constexpr uint32_t OID_SET_FLAG = 4;
    static constexpr uint32_t OID_OID = 8;
    static constexpr uint32_t OID_BYTES_WRITTEN = 12;
    static constexpr uint32_t OID_BYTES_NEEDED = 16;
    static constexpr uint32_t OID_NDIS_STATUS = 20;
    static constexpr uint32_t OID_DATA = 24;

    // FiltPrivateCommand
    static constexpr uint32_t CMD_GROUP = 0;
    static constexpr uint32_t CMD_ITEM = 2;
    static constexpr uint32_t CMD_RESULT = 3;
    static constexpr uint32_t CMD_SIZE = 4;
    static constexpr uint32_t CMD_DATA_LENGTH = 6;
    static constexpr uint32_t CMD_DATA = 8;

    static constexpr uint16_t GROUP_GENERAL = 0;
    static constexpr uint16_t GROUP_OWNERSHIP = 1;
    static constexpr uint16_t GROUP_PORT = 2;
    static constexpr uint16_t GROUP_FRAMES = 3;

    static constexpr uint8_t FILT_CMD_OK = 0;
    static constexpr uint8_t FILT_CMD_PENDING = 1;
    static constexpr uint8_t FILT_CMD_NOT_OWNER = 250;
    static constexpr uint8_t FILT_CMD_TOO_LONG = 251;
    static constexpr uint8_t FILT_CMD_TOO_SHORT = 252;
    static constexpr uint8_t FILT_CMD_ODD_LENGTH = 253;
    static constexpr uint8_t FILT_CMD_UNSUPPORTED = 254;
    static constexpr uint8_t FILT_CMD_FAILED = 255;

    // Features a reset can keep.
    static constexpr uint16_t FEATURE_OWNERSHIP = 1;
    static constexpr uint16_t FEATURE_PORT = 2;
    static constexpr uint16_t FEATURE_ETHER_TYPES = 3;

    // FiltEventRecord
    static constexpr uint32_t EVT_LENGTH = 0;
    static constexpr uint32_t EVT_SEQUENCE = 4;
    static constexpr uint32_t EVT_ADAPTER_ID = 8;
    static constexpr uint32_t EVT_TYPE = 12;
    static constexpr uint32_t EVT_PAYLOAD = 16;
    static constexpr uint32_t EVT_HEADER_LENGTH = 16;

    // FiltEventType
    static constexpr uint32_t EVENT_LIST_END = 1;
    static constexpr uint32_t EVENT_ADAPTER_ARRIVAL = 2;
    static constexpr uint32_t EVENT_ADAPTER_REMOVAL = 3;
    static constexpr uint32_t EVENT_STATUS = 4;

    // Adapter-arrival payload: the device name field, then the instance name and a 16-bit 0.
    static constexpr uint32_t ARRIVAL_NAME_FIELD_LENGTH = 128;
    static constexpr uint32_t ARRIVAL_INSTANCE_NAME = EVT_PAYLOAD + ARRIVAL_NAME_FIELD_LENGTH;
    // Status payload: code, body length, body.
    static constexpr uint32_t STATUS_CODE = 16;
    static constexpr uint32_t STATUS_BODY_LENGTH = 20;
    static constexpr uint32_t STATUS_BODY = 24;

    static constexpr uint32_t MAX_QUEUED_RECORDS = 64;
    static constexpr uint32_t MAX_ETHER_TYPES = 16;
    static constexpr uint32_t MAX_STATUS_FILTER = 16;

    // The GUID {1A7D800D-D2B9-426C-8D4B-13517FF09DC8} in its in-memory byte order.
    static constexpr uint8_t PRIVATE_GUID[16] = {0x0D, 0x80, 0x7D, 0x1A, 0xB9, 0xD2, 0x6C, 0x42,
                                                 0x8D, 0x4B, 0x13, 0x51, 0x7F, 0xF0, 0x9D, 0xC8};
    static constexpr uint32_t PRIVATE_OID_BASE = 0xFF000000;
    static constexpr uint32_t PRIVATE_STATUS_BASE = 0x60000000;
};

// Little-endian field access at explicit offsets.
inline uint16_t FiltGetU16(const uint8_t* base, uint32_t offset) {
    return uint16_t(base[offset] | base[offset + 1] << 8);
}
inline uint32_t FiltGetU32(const uint8_t* base, uint32_t offset) {
    return uint32_t(base[offset]) | uint32_t(base[offset + 1]) << 8 | uint32_t(base[offset + 2]) << 16 |
           uint32_t(base[offset + 3]) << 24;
}
inline void FiltPutU16(uint8_t* base, uint32_t offset, uint16_t value) {
    base[offset] = uint8_t(value);
    base[offset + 1] = uint8_t(value >> 8);
}
inline void FiltPutU32(uint8_t* base, uint32_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) base[offset + i] = uint8_t(value >> (8 * i));
}
