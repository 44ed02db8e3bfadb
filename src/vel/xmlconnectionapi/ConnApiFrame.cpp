#include "vel/xmlconnectionapi/ConnApiFrame.h"

int ConnApiFrame::writeHeader(std::int64_t length, char* out) {
    if (length < 0 || length > MAX_MESSAGE_LENGTH) return 0;
    char digits[HEADER_CAPACITY];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + length % 10);
        length /= 10;
    } while (length > 0);
    for (int i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    out[count] = HEADER_END;
    return count + 1;
}

std::string ConnApiFrame::frame(std::string_view payload) {
    char header[HEADER_CAPACITY];
    int headerLength = writeHeader(static_cast<std::int64_t>(payload.size()), header);
    if (headerLength == 0) return std::string();
    std::string frame;
    frame.reserve(static_cast<std::size_t>(headerLength) + payload.size());
    frame.append(header, static_cast<std::size_t>(headerLength));
    frame.append(payload);
    return frame;
}

ConnApiFrame::HeaderReading ConnApiFrame::readHeader(const std::uint8_t* bytes, int count, int alreadyScanned,
                                                     SkippedRun skipped, void* context) {
    HeaderReading reading{HeaderStatus::INCOMPLETE, 0, 0, alreadyScanned};
    if (count < MIN_HEADER_LENGTH) return reading;
    std::int64_t length = 0;
    int runStart = -1;
    auto endRun = [&](int end) {
        if (runStart >= 0 && skipped != nullptr) skipped(context, bytes[runStart], end - runStart);
        runStart = -1;
    };
    int index = 0;
    for (;; ++index) {
        std::uint8_t c = bytes[index];
        bool digit = c >= '0' && c <= '9';
        if (c == HEADER_END || digit) {
            // A run whose end an earlier call saw was reported by that call.
            if (index >= alreadyScanned) endRun(index);
            runStart = -1;
        } else if (runStart < 0) {
            runStart = index;
        }
        if (c == HEADER_END) break;
        if (digit) length = length * 10 + (c - '0');
        if (index + 1 > reading.scanned) reading.scanned = index + 1;
        // More digits only make a length larger, and skipped bytes leave it as it is.
        if (length > MAX_MESSAGE_LENGTH || index + 2 > MAX_HEADER_LENGTH) {
            endRun(index + 1);
            reading.status = HeaderStatus::NEVER;
            return reading;
        }
        if (index + 1 == count - 1) return reading;
    }
    // A line feed at the start ends every later scan at the same place.
    if (index + 1 < MIN_HEADER_LENGTH) {
        reading.status = HeaderStatus::NEVER;
        return reading;
    }
    reading.status = HeaderStatus::ACCEPTED;
    reading.headerLength = index + 1;
    reading.messageLength = static_cast<int>(length);
    return reading;
}
