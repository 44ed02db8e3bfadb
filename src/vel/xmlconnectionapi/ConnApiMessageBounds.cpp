#include "vel/xmlconnectionapi/ConnApiMessageBounds.h"

#include <cstring>

#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

namespace {

using L = ConnApiLimitConstants;

// The index of the first '<' at or after `from`, or behind the first '>' before it, or `length`: a
// parser ends a tag at either, and reads on at a '<' as at a new tag.
int tagEnd(const char* bytes, int length, int from) {
    for (int i = from; i < length; ++i) {
        if (bytes[i] == '<') return i;
        if (bytes[i] == '>') return i + 1;
    }
    return length;
}

// The index just behind the first `end` at or after `from`, or `length` when there is none.
int behind(const char* bytes, int length, int from, const char* end) {
    const int size = static_cast<int>(std::strlen(end));
    for (int i = from; i + size <= length; ++i) {
        if (std::memcmp(bytes + i, end, static_cast<size_t>(size)) == 0) return i + size;
    }
    return length;
}

bool startsWith(const char* bytes, int length, int at, const char* prefix) {
    const int size = static_cast<int>(std::strlen(prefix));
    return at + size <= length && std::memcmp(bytes + at, prefix, static_cast<size_t>(size)) == 0;
}

}  // namespace

ConnApiMessageBounds::Verdict ConnApiMessageBounds::check(const char* bytes, int length) {
    if (length > L::MAX_RECEIVED_MESSAGE_LENGTH) return Verdict::TOO_LONG;
    int depth = 0;
    int i = 0;
    while (i < length) {
        if (bytes[i] != '<') {
            ++i;
            continue;
        }
        if (startsWith(bytes, length, i, "<!--")) {
            i = behind(bytes, length, i + 4, "-->");
        } else if (startsWith(bytes, length, i, "<![CDATA[")) {
            i = behind(bytes, length, i + 9, "]]>");
        } else if (startsWith(bytes, length, i, "<?")) {
            i = behind(bytes, length, i + 2, "?>");
        } else if (startsWith(bytes, length, i, "<!")) {
            return Verdict::DECLARATION;
        } else if (startsWith(bytes, length, i, "</")) {
            // A parser pops an element at any end tag, matching or not.
            if (depth > 0) --depth;
            i = tagEnd(bytes, length, i + 2);
        } else {
            int attributes = 0;
            char quote = 0;
            bool empty = false;
            bool ended = false;
            for (++i; i < length; ++i) {
                const char c = bytes[i];
                // No value holds one: a parser ends the tag there, broken, and reads a new one.
                if (c == '<') break;
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++attributes > L::MAX_ATTRIBUTES_PER_ELEMENT) return Verdict::TOO_MANY_ATTRIBUTES;
                } else if (c == '>') {
                    empty = bytes[i - 1] == '/';
                    ended = true;
                    break;
                }
            }
            if (!ended) continue;
            ++i;
            if (!empty && ++depth > L::MAX_ELEMENT_DEPTH) return Verdict::TOO_DEEP;
        }
    }
    return Verdict::WITHIN;
}

// The texts name the limits.
static_assert(L::MAX_RECEIVED_MESSAGE_LENGTH == 65536 && L::MAX_ATTRIBUTES_PER_ELEMENT == 32 &&
              L::MAX_ELEMENT_DEPTH == 16);

const char* ConnApiMessageBounds::text(Verdict verdict) {
    switch (verdict) {
        case Verdict::WITHIN:
            return "within bounds";
        case Verdict::TOO_LONG:
            return "Message longer than 65536 bytes";
        case Verdict::TOO_MANY_ATTRIBUTES:
            return "Element with more than 32 attributes";
        case Verdict::TOO_DEEP:
            return "Elements nested deeper than 16";
        case Verdict::DECLARATION:
            return "Declaration in a message";
    }
    return "Message out of bounds";
}
