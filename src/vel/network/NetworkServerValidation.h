#pragma once
// Whether a network trusts the server of an 802.1X authentication: the method the request's EAP
// types lead to, the chain the library checked, a specific CA when the profile names some, and the
// server's names against the trusted-server rules. The verdict keeps the server's name, or
// "Untrusted".
#include <cstdint>
#include <functional>
#include <vector>

#include "vel/certificate/Certificate.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/CertificateValidationParameters.h"
#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"

class NetworkServerValidation {
public:
    static constexpr std::int32_t MATCH_SUBJECT = 0;
    static constexpr std::int32_t MATCH_ALTERNATIVE_NAME = 1;
    static constexpr std::int32_t HOW_EXACTLY = 1;
    static constexpr std::int32_t HOW_ENDS_WITH = 2;
    static constexpr const char* UNTRUSTED = "Untrusted";

    // The names of the server's certificate.
    struct ServerNames {
        Ascii subject;
        AsciiVector subjectNames;
        AsciiVector furtherSubjectNames;
        AsciiVector alternativeNames;
    };

    struct Request {
        // The connection type's authentication methods, the top method first.
        ElementVector methods;
        // The EAP type of each level from 0 to the request's level.
        std::vector<std::int32_t> eapTypes;
        bool chainIsValid = false;
        CertificateValidationParameters validation;
        bool adapterAttached = false;
        // The network's CA list, and whether the library chains the server to one of them.
        std::vector<Certificate> caList;
        std::function<bool(const Certificate&)> chainsTo;
        ServerNames names;
    };

    // The names of a library certificate handle (none without one).
    static ServerNames namesOf(QX_HANDLE certificate);

    // The method reached from the top method by the request's EAP types, one level each; a level
    // without a match keeps the method and list it had. Empty for an empty list.
    static AuthenticationMethod methodFor(const ElementVector& methods,
                                          const std::vector<std::int32_t>& eapTypes);

    // "exactly": the same bytes; "endsWith": the name is the rule's text or ends with "." and it,
    // so that "corp.example" takes "radius.corp.example" but not "evilcorp.example".
    static bool nameMatches(const Ascii& name, const TrustedServerRule& rule);

    // Subject names, then further subject names against the subject rules, then alternative
    // names against the alternative-name rules; each rule of the pass's kind that misses a name
    // is logged. True at the first match.
    static bool namesMatch(const ElementVector& rules, const ServerNames& names);

    // The verdict, with its lines; *serverName becomes the subject or "Untrusted".
    static bool validate(const Request& request, Ascii* serverName);
};
