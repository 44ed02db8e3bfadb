#include "runtime/lum/LogLine.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/base/LocalTime.h"
#include "platform/base/Process.h"
#include "runtime/lum/LogConstants.h"

namespace {

const Severity SEVERITIES[] = {
    {0, "FATAL_MSG", "FATAL"}, {1, "ALERT_MSG", "ALERT"}, {2, "CRITICAL_MSG", "CRITICAL"},
    {3, "ERROR_MSG", "ERR"},   {4, "WARNING_MSG", "WRN"}, {5, "NOTICE_MSG", "NOTICE"},
    {6, "INFO_MSG", "INF"},    {7, "DEBUG_MSG", "DBG"},
};

const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Lines are built by hand rather than by printf: every log line passes here on its caller's
// thread, and the caller waits while it is formatted.
class LineBuilder {
public:
    LineBuilder(char* buffer, size_t size) : m_buffer(buffer), m_size(size) {}
    void text(const char* t) { bytes(t, strlen(t)); }
    void bytes(const char* t, size_t n) {
        if (m_length + n < m_size) memcpy(m_buffer + m_length, t, n);
        m_length += n;
    }
    void character(char c) { bytes(&c, 1); }
    // At least `width` digits, zeros in front.
    void number(unsigned long value, int width) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 || count < width);
        while (count > 0) character(digits[--count]);
    }
    // Terminated; the length written, or -1 when the text did not fit before the terminator.
    int finish() {
        if (m_length >= m_size) return -1;
        m_buffer[m_length] = '\0';
        return static_cast<int>(m_length);
    }

private:
    char* m_buffer;
    size_t m_size;
    size_t m_length = 0;
};

void blankControlCharacters(char* text, int length) {
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 1 && c <= 31) || c == 127) text[i] = ' ';
    }
}

}  // namespace

const Severity& severityOfLevel(const char* levelName) {
    if (levelName != nullptr) {
        for (const Severity& s : SEVERITIES) {
            if (strcmp(s.levelName, levelName) == 0) return s;
        }
    }
    return SEVERITIES[LogConstants::SEVERITY_DEBUG];
}

const Severity& infoSeverity() {
    return SEVERITIES[LogConstants::SEVERITY_INFO];
}

void LogMessage::format(const char* fmt, va_list args) {
    int n = vsnprintf(text, sizeof text, fmt, args);
    if (n < 0) {
        text[0] = '\0';
        n = 0;
    }
    cut = n > LogConstants::MESSAGE_MAX;
    length = cut ? LogConstants::MESSAGE_MAX : n;
    text[length] = '\0';
    blankControlCharacters(text, length);
    stampNow();
}

void LogMessage::stampNow() {
    formatLogTimeStamp(stamp, sizeof stamp);
    // The tag is printed again only when the thread's number changed (a thread started by the run-time
    // takes the number reserved for it).
    thread_local unsigned long tagged = 0;
    thread_local char tag[sizeof thread] = "";
    const unsigned long number = logThreadNumber();
    if (number != tagged) {
        TagTID tid;
        tid.print(tag, sizeof tag);
        tagged = number;
    }
    memcpy(thread, tag, sizeof thread);
}

void LogMessage::set(const char* message) {
    size_t n = strlen(message);
    cut = n > static_cast<size_t>(LogConstants::MESSAGE_MAX);
    length = cut ? LogConstants::MESSAGE_MAX : static_cast<int>(n);
    memcpy(text, message, static_cast<size_t>(length));
    text[length] = '\0';
    blankControlCharacters(text, length);
    stampNow();
}

int formatLogTimeStamp(char* buffer, size_t size) {
    base::LocalNow now = base::localNow();
    const std::tm& local = now.calendar;
    // The offset of local time from UTC, so UTC+01:00 prints "+0100".
    long offsetMinutes = now.utcOffsetSeconds / 60;
    char sign = offsetMinutes < 0 ? '-' : '+';
    long absolute = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    // "MMM dd yyyy hh:mm:ss.mmm +hhmm:", cut to the buffer as printf would.
    char whole[64];
    LineBuilder line(whole, sizeof whole);
    line.text(MONTHS[local.tm_mon % 12]);
    line.character(' ');
    line.number(static_cast<unsigned long>(local.tm_mday), 2);
    line.character(' ');
    line.number(static_cast<unsigned long>(local.tm_year + 1900), 4);
    line.character(' ');
    line.number(static_cast<unsigned long>(local.tm_hour), 2);
    line.character(':');
    line.number(static_cast<unsigned long>(local.tm_min), 2);
    line.character(':');
    line.number(static_cast<unsigned long>(local.tm_sec), 2);
    line.character('.');
    line.number(static_cast<unsigned long>(now.milliseconds), 3);
    line.character(' ');
    line.character(sign);
    line.number(static_cast<unsigned long>(absolute / 60), 2);
    line.number(static_cast<unsigned long>(absolute % 60), 2);
    line.character(':');
    int n = line.finish();
    if (n < 0 || size == 0) return 0;
    if (static_cast<size_t>(n) >= size) n = static_cast<int>(size - 1);
    memcpy(buffer, whole, static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

const char* logHostName() {
    static char name[LogConstants::HOST_NAME_SIZE + 1];
    static std::once_flag once;
    std::call_once(once, [] {
        // A host without a name still fills its column. Not assigned to the string: GCC 12 warns
        // falsely about a short text assigned to a std::string.
        const std::string host = base::hostName();
        snprintf(name, sizeof name, "%s", host.empty() ? " " : host.c_str());
    });
    return name;
}

int sequencePrefixLength(long sequence) {
    int digits = sequence < 0 ? 2 : 1;
    for (unsigned long v = sequence < 0 ? 0ul - static_cast<unsigned long>(sequence) : sequence; v >= 10;
         v /= 10)
        ++digits;
    return digits + 2;
}

int composeLogLine(char* buffer, size_t size, long sequence, const Severity& severity, const Tags* tags,
                   const LogMessage& message) {
    if (size < 8) return -1;
    int prefix = snprintf(buffer, size, "%ld: ", sequence);
    if (prefix < 0 || static_cast<size_t>(prefix) >= size) return -1;
    int body =
        composeLogLineBody(buffer + prefix, size - static_cast<size_t>(prefix), severity, tags, message);
    return body < 0 ? -1 : prefix + body;
}

int composeLogLineBody(char* buffer, size_t size, const Severity& severity, const Tags* tags,
                       const LogMessage& message) {
    if (size < 2) return -1;
    LineBuilder header(buffer, size - 1);
    header.text(logHostName());
    header.bytes(": ", 2);
    header.text(message.stamp);
    header.bytes(" %BRISEL-", 9);
    if (severity.number < 0) header.character('-');
    header.number(static_cast<unsigned long>(severity.number < 0 ? -severity.number : severity.number), 1);
    header.character('-');
    header.text(severity.mnemonic);
    header.bytes(": %", 3);
    header.text(message.thread);
    const int n = header.finish();
    if (n < 0) return -1;
    size_t pos = static_cast<size_t>(n);

    char tagText[LogConstants::TAGS_MAX + 1] = "";
    int tagLength = 0;
    if (tags != nullptr && message.length > 0) {
        tagLength = tags->print(tagText, sizeof tagText);
        if (tagLength + message.length > LogConstants::TAGS_AND_MESSAGE_MAX) tagLength = 0;
    }
    const char* separator = tagLength > 0 ? " " : ": ";
    size_t separatorLength = strlen(separator);
    if (pos + static_cast<size_t>(tagLength) + separatorLength + 5 > size) return -1;
    memcpy(buffer + pos, tagText, static_cast<size_t>(tagLength));
    pos += static_cast<size_t>(tagLength);
    memcpy(buffer + pos, separator, separatorLength);
    pos += separatorLength;

    // The message leaves room for "...", the line feed and the terminator.
    size_t room = size - pos - 5;
    size_t length = static_cast<size_t>(message.length);
    bool cut = message.cut;
    if (length > room) {
        length = room;
        cut = true;
    }
    memcpy(buffer + pos, message.text, length);
    pos += length;
    if (cut) {
        memcpy(buffer + pos, "...", 3);
        pos += 3;
    }
    buffer[pos++] = '\n';
    buffer[pos] = '\0';
    return static_cast<int>(pos);
}
