#pragma once
// The buffers of a pipe end; the frames themselves and their limits are the protocol's
// (vel/xmlconnectionapi/ConnApiFrame.h).
class IpcConstants {
public:
    // The area inside each buffer that serves small frames without a heap block; a header of any
    // accepted length, with the byte behind it, still fits inside it.
    static constexpr int INLINE_SIZE = 1024;
    // Runs of skipped header bytes a reader logs one by one; the rest are told as one line per
    // interval, so that a peer sending junk cannot fill the log.
    static constexpr int SKIPPED_RUNS_IN_FULL = 3;
    static constexpr int SKIPPED_RUNS_INTERVAL_SECONDS = 10;
};
