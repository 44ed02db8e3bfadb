#pragma once
// The frames of the "vel" pipe, one message each: the payload's length in decimal ASCII, a line
// feed, then the payload. Both ends frame and unframe with this code, and the limit on a payload
// holds for sending as for receiving, so that neither end writes what the other refuses.
#include <cstdint>
#include <string>
#include <string_view>

class ConnApiFrame {
public:
    // The largest payload either end sends or takes.
    static constexpr int MAX_MESSAGE_LENGTH = 1000000;
    static constexpr char HEADER_END = '\n';
    // Digits and line feed at least.
    static constexpr int MIN_HEADER_LENGTH = 2;
    // Header bytes (skipped ones and the line feed included) a reader looks at: far more than the
    // digits of any length need. A longer header is from a peer that does not speak the framing.
    static constexpr int MAX_HEADER_LENGTH = 1000;
    // Room for the header a writer makes: the digits of the largest length and the line feed.
    static constexpr int HEADER_CAPACITY = 8;

    // Writes the header of a payload of `length` bytes to out (HEADER_CAPACITY bytes) and returns
    // its length; 0 when no such payload may be sent (negative or over MAX_MESSAGE_LENGTH).
    static int writeHeader(std::int64_t length, char* out);
    // The whole frame of a payload; empty when the payload may not be sent.
    static std::string frame(std::string_view payload);

    enum class HeaderStatus { INCOMPLETE, ACCEPTED, NEVER };
    struct HeaderReading {
        HeaderStatus status;
        int headerLength;   // with its line feed, once accepted
        int messageLength;  // once accepted
        int scanned;        // header bytes looked at so far
    };
    // Called once for each run of header bytes that are neither digits nor its end, with the
    // run's first byte and length and the caller's context, when the run ends or the header is
    // refused: junk costs one report per run, not one per byte.
    using SkippedRun = void (*)(void* context, std::uint8_t first, int count);

    // Reads the header at the start of the `count` bytes received so far. Bytes other than digits
    // are skipped. The line feed counts only with a byte behind it. The first `alreadyScanned`
    // bytes were looked at by an earlier call: a run that ended among them is not reported again.
    // NEVER: a length over MAX_MESSAGE_LENGTH, a header longer than MAX_HEADER_LENGTH, or one that
    // starts with its end.
    static HeaderReading readHeader(const std::uint8_t* bytes, int count, int alreadyScanned,
                                    SkippedRun skipped, void* context = nullptr);
};
