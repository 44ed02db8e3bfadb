#pragma once
// How the connection API logs what goes wrong with a received message. Nothing it does with a
// message may stop the service: every exception ends there.
#include <functional>

class XmlException;
class ConversionException;

class ConnApiLog {
public:
    static constexpr int INTERNAL_ERROR_UNREADABLE_XML = 207;
    static constexpr int INTERNAL_ERROR_UNREADABLE_VALUE = 103;

    // How an exception that says the message does not read is logged.
    enum Unreadable {
        // By the exception's own report.
        REPORT,
        // As internal error 207 or 103.
        AS_INTERNAL_ERROR,
        // Not at all: the caller counts it.
        COUNT_ONLY,
    };

    enum class Raised {
        NOTHING,
        // An XmlException or a ConversionException: the message does not read.
        UNREADABLE,
        // Anything else.
        OTHER,
    };

    // Runs the work and tells what it raised, logged: a message that does not read as `unreadable`
    // says; anything else by its report or, for what is no service error, a line naming `where`.
    static Raised guard(const char* where, Unreadable unreadable, const std::function<void()>& work);

    // Internal error 207 at error level and the exception's text at debug level.
    static void unreadable(const XmlException& e);
    // Internal error 103, then "Error in configuration xml: %s" at debug level.
    static void unreadable(const ConversionException& e);
};
