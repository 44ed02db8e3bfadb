#pragma once
// Every text a configuration file reader rejects a file with or logs, as the system writes it: the
// differences between near twins (a leading blank, a missing full stop, a lower-case "tag",
// "hexadimal") are the system's and are kept. Readers and their tests share this one table.

class XmlMessages {
public:
    // One element or attribute, named by %s.
    static constexpr const char* TAG_REQUIRED = "\"%s\" tag is required.";
    static constexpr const char* TAG_REQUIRED_WITHOUT_STOP = "\"%s\" tag is required";
    static constexpr const char* TAG_IS_REQUIRED = "Tag \"%s\" is required.";
    static constexpr const char* TAG_IS_REQUIRED_LEADING_BLANK = " Tag \"%s\" is required.";
    static constexpr const char* TAG_IS_REQUIRED_LOWER_CASE = "tag \"%s\" is required.";
    static constexpr const char* EMPTY_TAG = "Empty \"%s\" tag.";
    static constexpr const char* TAG_IS_EMPTY = "Tag \"%s\" is empty.";
    static constexpr const char* TAG_IS_EMPTY_WITHOUT_STOP = "Tag \"%s\" is empty";
    static constexpr const char* TAG_IS_INVALID = "Tag \"%s\" is invalid.";
    static constexpr const char* POSITIVE_INTEGER_REQUIRED = "Positive integer value required in \"%s\" tag.";
    static constexpr const char* ATTRIBUTE_REQUIRED = "Attribute \"%s\" is required.";
    static constexpr const char* ATTRIBUTE_SHOULD_BE_FALSE = "Attribute %s should have value \"false\".";
    static constexpr const char* ATTRIBUTE_SHOULD_BE_TRUE =
        "\"%s\" attribute should have fixed value \"true\".";
    static constexpr const char* TYPE_ATTRIBUTE_REQUIRED = "Attribute \"type\" is required.";
    static constexpr const char* TYPE_ATTRIBUTE_VALUE = "\"Type\" attribute should have fixed value \"%s\".";
    static constexpr const char* MULTIPLE_TAGS = "Multiple tags under \"%s\" tag is not supported.";
    static constexpr const char* ONE_METHOD_ONLY = "\"%s\" tag should contain just one authentication method";

    // This service's own, where the system's reader let a value through to an assertion.
    static constexpr const char* MULTIPLE_GLOBAL_NETWORKS = "Multiple \"%s\" tags are not supported.";
    static constexpr const char* TIMEOUT_TOO_LONG = "Value in \"%s\" tag exceeds %d seconds.";

    // A choice between elements, named in the order the message gives them.
    static constexpr const char* TWO_TAGS_REQUIRED = "\"%s\" or \"%s\" tags are required.";
    static constexpr const char* THREE_TAGS_REQUIRED = "\"%s\", \"%s\" or \"%s\" tags are required.";
    static constexpr const char* FOUR_TAGS_REQUIRED = "\"%s\", \"%s\", \"%s\" or \"%s\" tags are required.";
    static constexpr const char* TWO_TAGS_ONE_REQUIRED = "\"%s\" or \"%s\" tag is required.";

    // Whole values.
    static constexpr const char* INVALID_VERSION = "Invalid version of configuration file.";
    static constexpr const char* INVALID_CONFIGURATION_FILE = "Invalid configuration file.";
    static constexpr const char* UNDEFINED_CERTIFICATE_CONTAINER = "Undefined certificate container.";
    static constexpr const char* EMPTY_CERTIFICATE_CONTAINER = "Empty certificate container.";
    static constexpr const char* INVALID_ASCII_SSID_LENGTH = "Invalid ascii SSID length.";
    static constexpr const char* UNDEFINED_CONNECTION_TYPE = "Undefined connection type.";
    static constexpr const char* INVALID_KEY = "Invalid key.";
    static constexpr const char* INVALID_HEX = "Invalid HEX representation.";
    static constexpr const char* INVALID_WEP_KEY_LENGTH = "Invalid WEP key length.";
    static constexpr const char* INVALID_HEX_PSK_LENGTH = "Invalid hexadimal PSK length.";
    static constexpr const char* INVALID_ASCII_PSK_LENGTH = "Invalid ascii PSK length.";
    static constexpr const char* UNKNOWN_USER_AUTHENTICATION_METHOD = "Unknown user authentication method.";
    static constexpr const char* UNDEFINED_INNER_TTLS_METHOD = "Undefined inner TTLS method.";
    static constexpr const char* UNDEFINED_TRUSTED_SERVER_RULES = "Undefined trusted server rules.";
    static constexpr const char* UNDEFINED_VERIFICATION_RULE = "Undefined verification rule.";
    static constexpr const char* EMPTY_SERVER_VERIFICATION_RULE = "Empty server verification rule.";
    static constexpr const char* UNDEFINED_TRUSTED_CAS = "Undefined trusted CA certificates.";
    static constexpr const char* INVALID_CREDENTIAL_STORAGE_TYPE = "Invalid credential storage type.";
    static constexpr const char* INVALID_CREDENTIAL_STORAGE_TAG = "Invalid credential storage tag.";
    static constexpr const char* CREDENTIAL_TYPE_MISMATCH =
        "Credential type in collection behavior configuration different from credential type in "
        "authentication method configuration.";
    static constexpr const char* UNSUPPORTED_EAP_METHOD = "Unsupported EAP method.";
    static constexpr const char* EMPTY_CREDENTIAL_TAG = "Empty credential tag.";
    static constexpr const char* INVALID_PADDING_LENGTH = "Invalid padding length";

    // What the writers refuse: a network their elements would give back in another form.
    static constexpr const char* NO_FORM_FOR_PAIR =
        "\"%s\" has no form for association %d with encryption %d.";
    static constexpr const char* NO_FORM_FOR_METHOD = "\"%s\" has no form for EAP method %d.";
    static constexpr const char* NO_KEY_TO_WRITE = "\"%s\" has no key to write.";
    static constexpr const char* NO_AUTHENTICATION_TO_WRITE = "\"%s\" has no authentication to write.";
    // What the user file reader refuses.
    static constexpr const char* NO_GLOBAL_NETWORKS =
        "\"%s\" of the user cannot be kept: the administrator's file has none.";

    // Information lines.
    static constexpr const char* INVALID_DEVELOPMENT_VERSION =
        "Invalid development version of configuration file.";
    static constexpr const char* MANUAL_PAC_PROVISIONING = "Manual pac provisioning.";
    // What the caller that checks the administrator file's signature rejects it with.
    static constexpr const char* UNABLE_TO_VERIFY_SIGNATURE = "Unable to verify signature.";
};
