// The framing between the driver host and its clients on the socket "run/Pellodur", which
// stands for the control device. One connection is one open handle: connecting is the create
// (its result comes back as the reply with id 0) and hanging up is the cleanup and close.
//
// Request: u32 length of the whole frame, u32 kind, u32 id, u32 control code, u32 input length,
//          u32 output length (the read length for a read), then the input bytes.
// Reply:   u32 length of the whole frame, u32 id, u32 NT status, u32 information, then the
//          output bytes (at most the output length asked for).
// All fields little-endian.
#pragma once

#include <cstdint>

class PellodurConstants {
public:
    static constexpr uint32_t KIND_DEVICE_CONTROL = 1;
    static constexpr uint32_t KIND_READ = 2;
    static constexpr uint32_t KIND_CANCEL = 3;

    static constexpr uint32_t REQUEST_HEADER_LENGTH = 24;
    static constexpr uint32_t REQUEST_LENGTH = 0;
    static constexpr uint32_t REQUEST_KIND = 4;
    static constexpr uint32_t REQUEST_ID = 8;
    static constexpr uint32_t REQUEST_CODE = 12;
    static constexpr uint32_t REQUEST_INPUT_LENGTH = 16;
    static constexpr uint32_t REQUEST_OUTPUT_LENGTH = 20;

    static constexpr uint32_t REPLY_HEADER_LENGTH = 16;
    static constexpr uint32_t REPLY_LENGTH = 0;
    static constexpr uint32_t REPLY_ID = 4;
    static constexpr uint32_t REPLY_STATUS = 8;
    static constexpr uint32_t REPLY_INFORMATION = 12;

    // The create's reply; requests number from 1.
    static constexpr uint32_t OPEN_ID = 0;
    // Largest input or output a request may name; the host refuses more.
    static constexpr uint32_t MAX_BUFFER_LENGTH = 1u << 20;

    static constexpr const char* SOCKET_NAME = "run/Pellodur";
};
