#pragma once
// The buffers of a pipe end; the frames themselves and their limits are the protocol's
// (vel/xmlconnectionapi/ConnApiFrame.h).
class IpcConstants {
public:
    // The area inside each buffer that serves small frames without a heap block; a header of any
    // accepted length, with the byte behind it, still fits inside it.
    static constexpr int INLINE_SIZE = 1024;
};
