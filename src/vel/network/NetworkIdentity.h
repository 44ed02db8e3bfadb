#pragma once
// What a network decides before it answers an identity request: the queries on the current
// connection type's authentication methods, whether its configuration holds together, whether the
// user has to be asked (the user-credential collection step) and the identities it derives from a
// computer name.
#include <cstdint>
#include <vector>

#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"

class NetworkIdentity {
public:
    // Credential kinds of a method.
    static constexpr std::int32_t KIND_PASSWORD = 1;
    static constexpr std::int32_t KIND_CERTIFICATE = 2;
    static constexpr std::int32_t KIND_TOKEN = 3;
    // Credential sources.
    static constexpr std::int32_t SOURCE_NONE = 0;
    static constexpr std::int32_t SOURCE_PROFILE = 1;
    static constexpr std::int32_t SOURCE_GUI = 2;
    static constexpr std::int32_t SOURCE_LOGON = 3;
    static constexpr std::int32_t SOURCE_MACHINE = 6;
    // What the collection step yields: nothing to ask, or the credential type to ask for.
    static constexpr std::int32_t NOTHING_TO_ASK = 1;
    static constexpr std::int32_t ASK_USERNAME_PASSWORD = 2;
    static constexpr std::int32_t ASK_CERTIFICATE = 3;
    static constexpr std::int32_t ASK_PIN = 4;

    // Each 0 for an empty list.
    static std::int32_t topCredentialKind(ElementVector methods);
    static std::int32_t topType(ElementVector methods);
    // Following the first inner method from the top method while there is one.
    static std::int32_t innermostType(ElementVector methods);
    // A certificate method tunnelled in EAP-TTLS, PEAP or EAP-FAST that sends it inside.
    static bool certificateViaInnerMethod(ElementVector methods);

    struct Configuration {
        ElementVector methods;
        std::int32_t connectionType = 0;  // 0 none yet, 1 machine, 2 user
        std::int32_t allowedConnectionTypes = 0;
        std::int32_t source = 0;
    };
    static bool isCoherent(const Configuration& configuration);

    // One certificate of the user certificate list as the collection step sees it.
    struct Candidate {
        Ascii hash;  // hexadecimal
        Ascii name;
        bool usable = true;
        bool smartCard = false;
        bool privateKeyLoaded = false;
        Ascii storeName;
    };
    struct Collection {
        std::int32_t kind = 0;
        std::int32_t source = 0;
        std::int32_t connectionType = 0;
        bool userSessionExists = false;
        bool passwordChangeTriggered = false;
        bool hasIdentity = false;
        bool hasPasswordOrKey = false;
        std::vector<Candidate> certificates;
        // The hash (hexadecimal) of the parameters' certificate credential; empty without one.
        Ascii certificateCredentialHash;
        // The user parameters hold a smart-card PIN with a text.
        bool hasPin = false;
    };
    struct Outcome {
        std::int32_t result = NOTHING_TO_ASK;
        // The certificate to use, -1 for none.
        int selected = -1;
        // The preselected certificate is gone: its credential goes too.
        bool releaseCertificateCredential = false;
    };
    // The step with its lines; the caller has checked that the configuration holds together.
    static Outcome collect(const Collection& collection);

    // "host.corp.example" gives "host@corp.example"; a name without "." stays as it is.
    static Ascii identityFromDnsName(const Ascii& name);
};
