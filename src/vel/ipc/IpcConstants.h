#pragma once
// Limits of the frames on the pipe: a decimal length, a line feed, then that many payload bytes.
class IpcConstants {
public:
    // The largest payload a receiver takes.
    static constexpr int MAX_MESSAGE_LENGTH = 1000000;
    // Digits and line feed at least.
    static constexpr int MIN_HEADER_LENGTH = 2;
    // Header bytes (skipped ones and the line feed included) a header may take: far more than the
    // digits of any length need, and with the byte behind it still inside the inline area. A
    // longer header is from a peer that does not speak the framing; its connection ends.
    static constexpr int MAX_HEADER_LENGTH = 1000;
    // The area inside each buffer that serves small frames without a heap block.
    static constexpr int INLINE_SIZE = 1024;
};
