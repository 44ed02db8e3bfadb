#pragma once
// Whether a received message stays within what the protocol needs (ConnApiLimitConstants), found
// by one pass over its bytes before any parser sees them: a parser's cost may grow faster than the
// message (each attribute of an element is compared with the others), this pass's does not.
//
// The pass reads only as much XML as it must to stay on the safe side: an element has at most as
// many attributes as its start tag has '=' outside quoted values, a tag ends at its '>' or, broken,
// at the next '<' (where a parser reads on, quoted or not), comments, processing instructions and
// character data sections are passed over whole, and any other declaration is refused, as the
// service reads no document type. A message the pass accepts may still not be XML.
class ConnApiMessageBounds {
public:
    enum class Verdict { WITHIN, TOO_LONG, TOO_MANY_ATTRIBUTES, TOO_DEEP, DECLARATION };

    static Verdict check(const char* bytes, int length);
    // The reason a message was refused, for the log.
    static const char* text(Verdict verdict);
};
